#pragma once

#include "core/main_form_services.h"
#include "fakes.h"

namespace korvane::testing {

// Every service the main window takes, faked, so that a test can see what a click did.
struct FormFakes {
    FakeInputBox inputBox;
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    FakeLocale locale;
    FakeClock clock;
    FakeRegistry registry;
    FakeFileLookup files;
    ShutdownExitCodes codes = helperExitCodes;
    std::function<void()> scheduled;

    [[nodiscard]] MainFormServices services()
    {
        return { inputBox, messageBox, runner, locale, clock, registry, files, codes, scheduled };
    }
};

} // namespace korvane::testing
