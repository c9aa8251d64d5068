#include "frm_about.h"

#include "about_texts.h"
#include "app/app_icon.h"
#include "app/app_record.h"
#include "app/twips.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace korvane {

frmAbout::frmAbout(const SysInfoServices &services)
    : QDialog(nullptr,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_sysInfo(services)
    , m_picIcon(new QLabel(this))
    , m_cmdOK(new QPushButton(QStringLiteral("确定"), this))
    , m_cmdSysInfo(new QPushButton(QStringLiteral("系统信息(&S)..."), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Without an owner it is a window of its own: the process lives on while it is open.
    setAttribute(Qt::WA_QuitOnClose);
    setSizeGripEnabled(false);

    // Opens at a fixed place on the screen, not centred on anything.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    setGeometry(twipsRect(2340, 1935, 5700, 2925).translated(origin));
    setFixedSize(twips(5700), twips(2925));

    m_picIcon->setObjectName(QStringLiteral("picIcon"));
    m_picIcon->setGeometry(twipsRect(240, 240, 540, 540));
    m_picIcon->setAlignment(Qt::AlignCenter);
    m_picIcon->setPixmap(appIcon().pixmap(32, 32));
    m_picIcon->setFocusPolicy(Qt::TabFocus);

    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setGeometry(twipsRect(4080, 1920, 1500, 345));
    m_cmdOK->setDefault(true);

    m_cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    m_cmdSysInfo->setGeometry(twipsRect(4080, 2400, 1485, 345));

    QLabel *description = createLabel("lblDescription", twipsRect(1050, 1125, 3885, 570), true);
    description->setText(QString::fromUtf8(AboutDescription));
    m_lblTitle = createLabel("lblTitle", twipsRect(1050, 240, 3885, 480), true);
    m_lblVersion = createLabel("lblVersion", twipsRect(1050, 780, 3885, 225), false);
    // 15 pixels are less than a CJK font's line height; centred, the glyphs' ink still fits
    // where top-aligned it loses its bottom row.
    m_lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QLabel *disclaimer = createLabel("lblDisclaimer", twipsRect(255, 1920, 3630, 825), true);
    disclaimer->setText(QString::fromUtf8(AboutDisclaimer));
    createSeparator();

    setTabOrder(m_cmdOK, m_picIcon);
    setTabOrder(m_picIcon, m_cmdSysInfo);
    m_cmdOK->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

QLabel *frmAbout::createLabel(const char *name, QRect geometry, bool black)
{
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromUtf8(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    if (black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

void frmAbout::createSeparator()
{
    // Line1(0) is white and two pixels high, Line1(1) grey and one pixel high on its top
    // row: together they read as an etched groove.
    const auto line = [this](int index, QRect geometry, QColor colour) {
        auto *widget = new QWidget(this);
        widget->setObjectName(QStringLiteral("Line1"));
        widget->setProperty("index", index);
        widget->setGeometry(geometry);
        widget->setAutoFillBackground(true);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        widget->setPalette(palette);
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget->raise();
    };
    line(0, QRect(0, twips(1680), twips(5549), 2), QColor(0xFF, 0xFF, 0xFF));
    line(1, QRect(0, twips(1680), twips(5564), 1), QColor(0x80, 0x80, 0x80));
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // OK is the cancel button as well: Esc presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::Form_Load()
{
    setWindowTitle(QString::fromStdString(AboutCaption()));
    m_lblVersion->setText(QString::fromStdString(VersionLine()));
    m_lblTitle->setText(QString::fromUtf8(app::Title.data(), qsizetype(app::Title.size())));
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

} // namespace korvane
