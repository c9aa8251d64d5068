#pragma once

#include "core/main_form_services.h"
#include "core/power_actions.h"

#include <QPointer>
#include <QWidget>

class QCloseEvent;
class QGroupBox;
class QPushButton;
class QTimer;

namespace korvane {

struct ControlDesign;

namespace qt {

class frmAbout;

class MainForm final : public QWidget {
    Q_OBJECT

public:
    explicit MainForm(const MainFormServices &services, QWidget *parent = nullptr);
    ~MainForm() override;

    [[nodiscard]] bool ActionScheduled() const { return m_power.ActionScheduled(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControl(const ControlDesign &row);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer1_Timer();

    MainFormServices m_services;
    PowerActions m_power;
    QGroupBox *m_frame = nullptr;
    QTimer *m_timer = nullptr;
    // Made on the first click, not at start-up; gone again once the user closes it.
    QPointer<frmAbout> m_about;

    Q_DISABLE_COPY_MOVE(MainForm)
};

} // namespace qt
} // namespace korvane
