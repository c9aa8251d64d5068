#pragma once

#include "delay_prompt.h"

namespace korvane {

class CommandRunner;
class InputBox;
class Locale;
class MessageBox;

struct PowerServices {
    InputBox &inputBox;
    MessageBox &messageBox;
    CommandRunner &runner;
    const Locale &locale;
};

// Hands shutdown, restart and cancel to the operating system's shutdown program and
// remembers whether this window has scheduled something it can cancel.
class PowerActions {
public:
    explicit PowerActions(const PowerServices &services);

    void schedule(PowerAction action);
    void cancel();

    // What this window did, not what the operating system has pending.
    [[nodiscard]] bool ActionScheduled() const { return m_actionScheduled; }

private:
    PowerServices m_services;
    bool m_actionScheduled = false;
};

} // namespace korvane
