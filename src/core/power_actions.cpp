#include "power_actions.h"

#include "command_runner.h"
#include "locale.h"
#include "message_box.h"
#include "seconds_text.h"

#include <cmath>
#include <string>

namespace korvane {

namespace {

constexpr std::string_view shutdownRefused = "系统拒绝了关闭计算机的请求";
constexpr std::string_view restartRefused = "系统拒绝了重启计算机的请求";
constexpr std::string_view nothingToCancel = "系统中没有待取消的关闭/重启计算机操作";
constexpr std::string_view cancelFailed = "系统未能取消关闭/重启计算机";

} // namespace

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
        = action == PowerAction::Shutdown ? shutdownRefused : restartRefused;
    if (!start(command, [refused](std::optional<int>) { return refused; }))
        return;
    m_actionScheduled = true;
}

void PowerActions::cancel()
{
    if (m_actionScheduled) {
        const int nothingScheduled = m_services.shutdownCodes.nothingToCancel;
        const auto failureText = [nothingScheduled](std::optional<int> exitCode) {
            return exitCode == nothingScheduled ? nothingToCancel : cancelFailed;
        };
        if (!start(Command { "shutdown", { "-a" } }, failureText))
            return;
    } else {
        m_services.messageBox.show("请先设置关闭/重启计算机后再取消操作!");
    }
    m_actionScheduled = false;
}

bool PowerActions::start(const Command &command, const FailureText &failureText)
{
    const std::weak_ptr<const PowerActions *> self = m_self;
    const auto onExit = [self, failureText](int exitCode) {
        const std::shared_ptr<const PowerActions *> alive = self.lock();
        if (alive && exitCode != 0)
            (*alive)->m_services.messageBox.show(std::string(failureText(exitCode)));
    };
    if (m_services.runner.start(command, WindowStyle::Hidden, onExit))
        return true;
    m_services.messageBox.show(std::string(failureText(std::nullopt)));
    return false;
}

} // namespace korvane
