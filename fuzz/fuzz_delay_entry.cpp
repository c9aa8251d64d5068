// Any bytes as the two delay entries, through the real number conversion, the range check
// and the seconds text: whatever reaches the command runner must be a shutdown or restart
// with a delay the conversion itself accepts, or nothing at all.
#include "../tests/core/fakes.h"
#include "core/power_actions.h"
#include "qt/locale_qt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using korvane::testing::FakeCommandRunner;
using korvane::testing::FakeInputBox;
using korvane::testing::FakeMessageBox;

const korvane::qt::Locale &localeFor(std::uint8_t selector)
{
    static const korvane::qt::Locale c(QLocale::c());
    static const korvane::qt::Locale german(QLocale(QLocale::German, QLocale::Germany));
    static const korvane::qt::Locale chinese(QLocale(QLocale::Chinese, QLocale::China));
    static const korvane::qt::Locale arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
    switch (selector % 4) {
    case 0:
        return c;
    case 1:
        return german;
    case 2:
        return chinese;
    default:
        return arabic;
    }
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t control = data[0];
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);

    // The entries are split at the first newline; the rest of the answers are Cancel.
    const std::size_t split = text.find('\n');
    FakeInputBox inputBox({ text.substr(0, split) });
    if (split != std::string::npos)
        inputBox.answers.push_back(text.substr(split + 1));

    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const korvane::qt::Locale &locale = localeFor(control >> 1);
    korvane::PowerActions actions(
        { inputBox, messageBox, runner, locale, korvane::helperExitCodes });

    actions.schedule(
        (control & 1) ? korvane::PowerAction::Restart : korvane::PowerAction::Shutdown);

    require(runner.attempts.size() <= 1);
    require(actions.ActionScheduled() == !runner.started.empty());
    for (const korvane::Command &command : runner.attempts) {
        require(command.program == "shutdown");
        require(command.arguments.size() == 3);
        require(command.arguments[0] == ((control & 1) ? "-r" : "-s"));
        require(command.arguments[1] == "-t");
        const std::string &seconds = command.arguments[2];
        require(!seconds.empty());
        require(seconds.find_first_of(" \t\n") == std::string::npos);
        require(locale.toNumber(seconds).has_value());
    }
    return 0;
}
