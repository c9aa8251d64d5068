#pragma once

#include "delay_prompt.h"
#include "shutdown_exit_codes.h"

#include <functional>
#include <memory>
#include <string_view>

namespace korvane {

class CommandRunner;
class InputBox;
class Locale;
class MessageBox;
struct Command;

struct PowerServices {
    InputBox &inputBox;
    MessageBox &messageBox;
    CommandRunner &runner;
    const Locale &locale;
    ShutdownExitCodes shutdownCodes;
    // Told after each schedule the system accepted; empty where nothing listens.
    std::function<void()> scheduled = {};
};

// Hands shutdown, restart and cancel to the operating system's shutdown program, remembers
// whether this window has scheduled something it can cancel, and tells the user when the
// system does not carry a request out: silence has to mean success.
class PowerActions {
public:
    explicit PowerActions(const PowerServices &services);
    PowerActions(const PowerActions &) = delete;
    PowerActions &operator=(const PowerActions &) = delete;

    void schedule(PowerAction action);
    void cancel();

    // What this window did, not what the operating system has pending.
    [[nodiscard]] bool ActionScheduled() const { return m_actionScheduled; }

private:
    // The message for a command that ended unsuccessfully.
    using FailureText = std::function<std::string_view(int exitCode)>;

    // `onSuccess` runs when the program ends with 0 while this object still lives.
    [[nodiscard]] bool start(const Command &command, const FailureText &failureText,
        std::function<void()> onSuccess = {});

    PowerServices m_services;
    bool m_actionScheduled = false;
    // A report can come after this object is gone; it holds only a weak reference to this.
    std::shared_ptr<const PowerActions *> m_self = std::make_shared<const PowerActions *>(this);
};

} // namespace korvane
