#include "main_form.h"

#include "about/frm_about.h"
#include "app/app_icon.h"
#include "app/twips.h"
#include "clock_caption.h"
#include "platform/message_box.h"
#include "sponsor_notice.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

namespace korvane {

MainForm::MainForm(const MainFormServices &services, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_power({ services.inputBox, services.messageBox, services.runner, services.locale })
    , m_frame(new QGroupBox(QStringLiteral("功能选择"), this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(StartupCaption));
    setWindowIcon(appIcon());
    setFixedSize(twips(4335), twips(3000));

    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(twipsRect(120, 120, 3975, 2775));

    // Created in tab order; the grid is two columns of three rows.
    auto *shutdown = createButton("Command1", "关闭计算机(&C)", twipsRect(360, 240, 1455, 615));
    auto *restart = createButton("Command2", "重启计算机(&D)", twipsRect(2040, 240, 1575, 615));
    auto *cancel = createButton("Command3", "取消操作(&D)", twipsRect(360, 1080, 1455, 615));
    auto *exit = createButton("Command4", "退出程序(&F)", twipsRect(2040, 1080, 1575, 615));
    auto *about = createButton("Command5", "关于本程序(&Q)", twipsRect(360, 1920, 1455, 615));
    auto *sponsor = createButton("Command6", "赞助我们(&G)", twipsRect(2040, 1920, 1575, 615));

    connect(shutdown, &QPushButton::clicked, this, &MainForm::Command1_Click);
    connect(restart, &QPushButton::clicked, this, &MainForm::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &MainForm::Command3_Click);
    connect(exit, &QPushButton::clicked, this, &MainForm::Command4_Click);
    connect(about, &QPushButton::clicked, this, &MainForm::Command5_Click);
    connect(sponsor, &QPushButton::clicked, this, &MainForm::Command6_Click);

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &MainForm::Timer1_Timer);
    m_timer->start();
}

MainForm::~MainForm()
{
    // The About window has no owner, but it does not outlive the process's main object.
    delete m_about;
}

QPushButton *MainForm::createButton(const char *name, const char *caption, QRect geometry)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), m_frame);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

void MainForm::Command1_Click()
{
    m_power.Schedule(PowerAction::Shutdown);
}

void MainForm::Command2_Click()
{
    m_power.Schedule(PowerAction::Restart);
}

void MainForm::Command3_Click()
{
    m_power.Cancel();
}

void MainForm::Command4_Click()
{
    // Ends the process without asking; a shutdown already handed over stays pending.
    QCoreApplication::exit(0);
}

void MainForm::Command5_Click()
{
    // A window that is closing is already on its way out: load a new one.
    if (!m_about || !m_about->isVisible())
        m_about = new frmAbout(SysInfoServices {
            m_services.registry, m_services.files, m_services.runner, m_services.messageBox });
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainForm::Command6_Click()
{
    m_services.messageBox.show(SponsorNotice);
}

void MainForm::Timer1_Timer()
{
    setWindowTitle(QString::fromStdString(ClockCaption(m_services.clock, m_services.locale)));
}

} // namespace korvane
