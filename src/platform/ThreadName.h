#pragma once
// Names the calling thread, so `top -H`, gdb and the benchmark's per-thread
// table tell our threads apart (each would otherwise carry the program's
// name). Linux keeps 15 characters; a longer name is cut, not refused.
#include <pthread.h>
#include <string>

namespace gx {

inline void nameThisThread(const char* name)
{
    pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
}

} // namespace gx
