#pragma once

#include "core/main_form_design.h"
#include "core/main_form_services.h"
#include "core/texts.h"
#include "fakes.h"

#include <ostream>

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

// A click on one of the main window's buttons, the same in both front ends; what the shared
// logic makes of the entries is tst_power_actions' business.
struct ClickCase {
    const char *name;
    const ControlDesign *button;
    std::deque<std::string> answers;
    std::vector<std::string> started;
    std::vector<std::string> messages;
    bool scheduled;
};

inline std::ostream &operator<<(std::ostream &out, const ClickCase &row)
{
    return out << row.name;
}

inline const std::vector<ClickCase> mainFormClicks {
    { "Shutdown", &main_form::Command1, { "10" }, { "shutdown -s -t 600" }, {}, true },
    { "Restart", &main_form::Command2, { "0" }, { "shutdown -r -t 0" }, {}, true },
    { "CancelWithNothingScheduled", &main_form::Command3, {}, {},
        { "请先设置关闭/重启计算机后再取消操作!" }, false },
    { "Sponsor", &main_form::Command6, {}, {}, { std::string(texts::sponsorNotice) }, false },
};

} // namespace korvane::testing
