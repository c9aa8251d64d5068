#pragma once

#include "core/sys_info.h"

#include <QDialog>

#include <array>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace korvane {

struct ControlDesign;

namespace qt {

// The About window. It has no owner and deletes itself when closed, so every show after
// a close loads a fresh one.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(const SysInfoServices &services);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControl(const ControlDesign &row);
    void createLabel(const ControlDesign &row);
    void createLine(const ControlDesign &row);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    SysInfoLauncher m_sysInfo;
    QLabel *m_picIcon = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdSysInfo = nullptr;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    // By element index.
    std::array<QWidget *, 2> m_line1 {};

    Q_DISABLE_COPY_MOVE(frmAbout)
};

} // namespace qt
} // namespace korvane
