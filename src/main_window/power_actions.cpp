#include "power_actions.h"

#include "platform/command_runner.h"
#include "platform/locale.h"
#include "platform/message_box.h"
#include "seconds_text.h"

#include <cmath>

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
    if (!m_services.runner.start(command, WindowStyle::Hidden))
        return;
    m_actionScheduled = true;
}

void PowerActions::cancel()
{
    if (m_actionScheduled) {
        if (!m_services.runner.start(Command { "shutdown", { "-a" } }, WindowStyle::Hidden))
            return;
    } else {
        m_services.messageBox.show("请先设置关闭/重启计算机后再取消操作!");
    }
    m_actionScheduled = false;
}

} // namespace korvane
