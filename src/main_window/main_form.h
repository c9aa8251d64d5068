#pragma once

#include "power_actions.h"

#include <QWidget>

class QGroupBox;
class QPushButton;
class QTimer;

namespace korvane {

class Clock;

struct MainFormServices {
    InputBox &inputBox;
    MessageBox &messageBox;
    CommandRunner &runner;
    const Locale &locale;
    const Clock &clock;
};

class MainForm final : public QWidget {
    Q_OBJECT

public:
    explicit MainForm(const MainFormServices &services, QWidget *parent = nullptr);

    [[nodiscard]] bool ActionScheduled() const { return m_power.ActionScheduled(); }

private:
    QPushButton *createButton(const char *name, const char *caption, QRect geometry);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();

    MainFormServices m_services;
    PowerActions m_power;
    QGroupBox *const m_frame;
    QTimer *const m_timer;

    Q_DISABLE_COPY_MOVE(MainForm)
};

} // namespace korvane
