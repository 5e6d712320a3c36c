#pragma once
// Stands in for the controller's dialogs and beep: counts them and answers
// the installer's question as told.
#include "controller/UserPrompts.h"

namespace gx::test {

struct PromptsStandIn final : UserPrompts {
    bool answer = true;
    int asked = 0;
    int told = 0;
    int beeps = 0;
    bool askToInstallScript() override { return ++asked, answer; }
    void tellScriptInstalled() override { ++told; }
    void beep() override { ++beeps; }
};

} // namespace gx::test
