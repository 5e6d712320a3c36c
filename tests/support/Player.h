#pragma once
// The whole player as the program builds it (the window layout with its
// controllers and engine, the window not shown), for suites that drive it as
// the user and the desktop do.
#include "app/AppController.h"
#include "app/GramoluxWindowLayout.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

namespace gx::test {

class Player {
protected:
    // As at a start of the program: the player before goes first.
    void start()
    {
        layout.reset();
        layout = std::make_unique<GramoluxWindowLayout>();
        c = layout->appController();
    }
    static UserDefaults& store() { return UserDefaults::standardUserDefaults(); }

    std::unique_ptr<GramoluxWindowLayout> layout;
    AppController* c = nullptr;
};

} // namespace gx::test
