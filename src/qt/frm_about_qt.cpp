#include "frm_about_qt.h"

#include "app_icon_qt.h"
#include "core/about_texts.h"
#include "core/app_record.h"
#include "core/frm_about_design.h"
#include "text_qt.h"
#include "twips_qt.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cstdint>
#include <string_view>

namespace korvane::qt {

namespace {

QColor toQColor(std::uint32_t rgb)
{
    return QColor::fromRgb(QRgb(rgb));
}

} // namespace

frmAbout::frmAbout(const SysInfoServices &services)
    : QDialog(nullptr,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_sysInfo(services)
{
    setObjectName(toQString(frmAboutDesign.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(false);

    // Opens at a fixed place on the screen, not centred on anything.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    setGeometry(twipsToPixels(frmAboutPlacement).translated(origin));
    setFixedSize(twipsToPixels(frmAboutDesign.client));

    for (const ControlDesign *row : frmAboutDesign.controls)
        createControl(*row);
    // Over the labels they cross, and the grey element over the white one: the table
    // creates element 1 first, so raising in creation order would hide the grey line.
    for (QWidget *line : m_line1)
        line->raise();

    setTabOrder(m_cmdOK, m_picIcon);
    setTabOrder(m_picIcon, m_cmdSysInfo);
    m_cmdOK->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout::createControl(const ControlDesign &row)
{
    switch (row.kind) {
    case ControlKind::Picture:
        m_picIcon = new QLabel(this);
        m_picIcon->setObjectName(toQString(row.name));
        m_picIcon->setGeometry(twipsToPixels(row.rect));
        m_picIcon->setAlignment(Qt::AlignCenter);
        m_picIcon->setPixmap(appIcon().pixmap(32, 32));
        m_picIcon->setFocusPolicy(Qt::TabFocus);
        break;
    case ControlKind::Button: {
        auto *button = new QPushButton(toQString(row.caption), this);
        button->setObjectName(toQString(row.name));
        button->setGeometry(twipsToPixels(row.rect));
        if (&row == &frm_about::cmdOK) {
            m_cmdOK = button;
            m_cmdOK->setDefault(true);
        } else if (&row == &frm_about::cmdSysInfo) {
            m_cmdSysInfo = button;
        }
        break;
    }
    case ControlKind::Label:
        createLabel(row);
        break;
    case ControlKind::Line:
        createLine(row);
        break;
    case ControlKind::Frame:
    case ControlKind::Timer:
        break;
    }
}

void frmAbout::createLabel(const ControlDesign &row)
{
    auto *label = new QLabel(toQString(row.caption), this);
    label->setObjectName(toQString(row.name));
    label->setGeometry(twipsToPixels(row.rect));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    if (row.colour != defaultColour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, toQColor(row.colour));
        label->setPalette(palette);
    }
    if (&row == &frm_about::lblTitle)
        m_lblTitle = label;
    if (&row == &frm_about::lblVersion) {
        m_lblVersion = label;
        // 15 pixels are less than a CJK font's line height; centred, the glyphs' ink still
        // fits where top-aligned it loses its bottom row.
        m_lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void frmAbout::createLine(const ControlDesign &row)
{
    auto *line = new QWidget(this);
    line->setObjectName(toQString(row.name));
    line->setProperty("index", row.index);
    line->setGeometry(twipsToPixels(row.rect));
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, toQColor(row.colour));
    line->setPalette(palette);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_line1.at(row.index) = line;
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
    setWindowTitle(QString::fromStdString(aboutCaption()));
    m_lblVersion->setText(QString::fromStdString(versionLine()));
    m_lblTitle->setText(toQString(app::title));
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

} // namespace korvane::qt
