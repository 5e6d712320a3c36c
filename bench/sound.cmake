gx_add_bench(gx_bench_sound ${CMAKE_CURRENT_LIST_DIR}/bench_sound.cpp)
