#include "main_form_qt.h"

#include "app_icon_qt.h"
#include "core/clock_caption.h"
#include "core/main_form_design.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "frm_about_qt.h"
#include "text_qt.h"
#include "twips_qt.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::qt {

namespace {

// Qt offers a plain QWidget window as a client area (AT-SPI's filler), which a screen reader
// may not announce; as a window (AT-SPI's frame) it is named with its caption.
QAccessibleInterface *accessibleMainForm(const QString &className, QObject *object)
{
    if (className == QLatin1String(MainForm::staticMetaObject.className()) && object
        && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

MainForm::MainForm(const MainFormServices &services, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_power(services.power())
{
    static const bool accessible = (QAccessible::installFactory(accessibleMainForm), true);
    (void)accessible;
    setObjectName(toQString(mainFormDesign.name));
    setWindowTitle(toQString(mainFormDesign.caption));
    // This window's own, not the application's: the About window must show none, and an
    // application icon would be every window's.
    setWindowIcon(appIcon());
    setFixedSize(twipsToPixels(mainFormDesign.client));

    // Qt also resolves an access key that two buttons share in creation order.
    for (const ControlDesign *row : inTabOrder(mainFormDesign))
        createControl(*row);

    m_timer->start();
}

MainForm::~MainForm()
{
    // The About window has no owner, but it does not outlive the process's main object.
    delete m_about;
}

void MainForm::closeEvent(QCloseEvent *event)
{
    // The About window may keep the process alive: a closed window's caption needs no clock.
    m_timer->stop();
    QWidget::closeEvent(event);
}

void MainForm::createControl(const ControlDesign &row)
{
    using Handler = void (MainForm::*)();
    static constexpr std::array<std::pair<const ControlDesign *, Handler>, 6> handlers { {
        { &main_form::Command1, &MainForm::Command1_Click },
        { &main_form::Command2, &MainForm::Command2_Click },
        { &main_form::Command3, &MainForm::Command3_Click },
        { &main_form::Command4, &MainForm::Command4_Click },
        { &main_form::Command5, &MainForm::Command5_Click },
        { &main_form::Command6, &MainForm::Command6_Click },
    } };

    switch (row.kind) {
    case ControlKind::Frame:
        m_frame = new QGroupBox(toQString(row.caption), this);
        m_frame->setObjectName(toQString(row.name));
        m_frame->setGeometry(twipsToPixels(row.rect));
        break;
    case ControlKind::Timer:
        m_timer = new QTimer(this);
        m_timer->setObjectName(toQString(row.name));
        m_timer->setInterval(timer1Interval);
        connect(m_timer, &QTimer::timeout, this, &MainForm::Timer1_Timer);
        break;
    case ControlKind::Button: {
        auto *button = new QPushButton(toQString(row.caption), m_frame);
        button->setObjectName(toQString(row.name));
        button->setGeometry(twipsToPixels(row.rect));
        // No button of this window is its default.
        button->setAutoDefault(false);
        for (const auto &[clicked, handler] : handlers) {
            if (clicked == &row)
                connect(button, &QPushButton::clicked, this, handler);
        }
        break;
    }
    case ControlKind::Label:
    case ControlKind::Picture:
    case ControlKind::Line:
        break;
    }
}

void MainForm::Command1_Click()
{
    m_power.schedule(PowerAction::Shutdown);
}

void MainForm::Command2_Click()
{
    m_power.schedule(PowerAction::Restart);
}

void MainForm::Command3_Click()
{
    m_power.cancel();
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
        m_about = new frmAbout(m_services.sysInfo());
    // show() leaves a window the window manager minimised as it is.
    m_about->setWindowState(m_about->windowState() & ~Qt::WindowMinimized);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainForm::Command6_Click()
{
    m_services.messageBox.show(std::string(texts::sponsorNotice));
}

void MainForm::Timer1_Timer()
{
    setWindowTitle(QString::fromStdString(clockCaption(m_services.clock, m_services.locale)));
}

} // namespace korvane::qt
