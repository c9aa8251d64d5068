#include "power_actions.h"

#include "command_runner.h"
#include "locale.h"
#include "message_box.h"
#include "seconds_text.h"
#include "texts.h"

#include <cmath>
#include <optional>
#include <string>

namespace korvane {

PowerActions::PowerActions(const PowerServices &services)
    : m_services(services)
{
}

void PowerActions::schedule(PowerAction action)
{
    const std::string entry
        = AskDelay(action, m_services.inputBox, m_services.messageBox, m_services.locale);

    // The second entry comes back unchecked; a non-number (Cancel included) or a value
    // whose seconds overflow has no delay to hand over, so nothing is started.
    const std::optional<double> minutes = m_services.locale.toNumber(entry);
    if (!minutes)
        return;
    const double seconds = *minutes * 60;
    if (!std::isfinite(seconds))
        return;

    const Command command { "shutdown",
        { action == PowerAction::Shutdown ? "-s" : "-r", "-t",
            secondsText(seconds, m_services.locale.decimalSeparator()) } };
    const std::string_view refused
        = action == PowerAction::Shutdown ? texts::shutdownRefused : texts::restartRefused;
    if (!start(
            command, [refused](int) { return refused; }, m_services.scheduled))
        return;
    m_actionScheduled = true;
}

void PowerActions::cancel()
{
    if (m_actionScheduled) {
        const int nothingToCancel = m_services.shutdownCodes.nothingToCancel;
        const auto failureText = [nothingToCancel](int exitCode) {
            return exitCode == nothingToCancel ? texts::nothingToCancel : texts::cancelFailed;
        };
        if (!start(Command { "shutdown", { "-a" } }, failureText))
            return;
    } else {
        m_services.messageBox.show(std::string(texts::cancelUnscheduled));
    }
    m_actionScheduled = false;
}

bool PowerActions::start(
    const Command &command, const FailureText &failureText, std::function<void()> onSuccess)
{
    const std::weak_ptr<const PowerActions *> self = m_self;
    const auto onExit = [self, failureText, onSuccess = std::move(onSuccess)](int exitCode) {
        const std::shared_ptr<const PowerActions *> alive = self.lock();
        if (!alive)
            return;
        if (exitCode != 0)
            (*alive)->m_services.messageBox.show(std::string(failureText(exitCode)));
        else if (onSuccess)
            onSuccess();
    };
    if (m_services.runner.start(command, WindowStyle::Hidden, onExit))
        return true;
    // Not a refusal: the system was never asked.
    m_services.messageBox.show(std::string(texts::shutdownNotStarted));
    return false;
}

} // namespace korvane
