#include "core/designed_pixels.h"
#include "core/form_fakes.h"
#include "qt/frm_about_qt.h"
#include "qt/main_form_qt.h"
#include "qt/text_qt.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace korvane {

using qt::MainForm;

namespace {

constexpr const char *toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
using Texts = std::vector<std::string>;

QList<QWidget *> openAboutWindows()
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("frmAbout") && widget->isVisible())
            found << widget;
    return found;
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void notMadeAtStartup();
    void texts();
    void window();
    void geometry_data();
    void geometry();
    void textsFit_data();
    void textsFit();
    void separator();
    void focus();
    void secondClickBringsTheSameWindow();
    void reloadsAfterClosing_data();
    void reloadsAfterClosing();
    void sysInfo_data();
    void sysInfo();
    void outlivesTheMainWindow();

private:
    QWidget *openAbout()
    {
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        const QList<QWidget *> open = openAboutWindows();
        return open.size() == 1 ? open.front() : nullptr;
    }

    QPushButton *button(const char *name) const
    {
        return m_form->findChild<QPushButton *>(QString::fromUtf8(name));
    }

    testing::FormFakes m_fakes;
    std::unique_ptr<MainForm> m_form;
};

void TestAbout::init()
{
    m_fakes = testing::FormFakes();
    m_form = std::make_unique<MainForm>(m_fakes.services());
    m_form->show();
}

void TestAbout::cleanup()
{
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(openAboutWindows().isEmpty());
}

void TestAbout::notMadeAtStartup()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<qt::frmAbout *>(widget));
}

void TestAbout::texts()
{
    QWidget *about = openAbout();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("关于 Korvane"));
    const auto text = [about](const char *name) {
        return about->findChild<QLabel *>(QString::fromUtf8(name))->text();
    };
    QCOMPARE(text("lblTitle"), QStringLiteral("Korvane"));
    QCOMPARE(text("lblVersion"), QStringLiteral("版本 " KORVANE_VERSION));
    for (const ControlDesign *row : { &frm_about::lblDescription, &frm_about::lblDisclaimer })
        QCOMPARE(text(row->name.data()), qt::toQString(row->caption));
    for (const ControlDesign *row : { &frm_about::cmdOK, &frm_about::cmdSysInfo }) {
        QCOMPARE(about->findChild<QPushButton *>(qt::toQString(row->name))->text(),
            qt::toQString(row->caption));
    }

    const QPixmap icon = about->findChild<QLabel *>(QStringLiteral("picIcon"))->pixmap();
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestAbout::window()
{
    QWidget *about = openAbout();
    QVERIFY(about);
    // No owner and not modal: the main window stays usable beside it.
    QVERIFY(!about->parentWidget());
    QVERIFY(!about->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(about->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = about->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(button("Command1")->isEnabled());
}

void TestAbout::geometry_data()
{
    QTest::addColumn<int>("place");
    for (std::size_t i = 0; i < testing::frmAboutPlaces.size(); ++i) {
        const ControlDesign &row = *testing::frmAboutPlaces[i].row;
        QTest::addRow("%s %d", row.name.data(), row.index) << int(i);
    }
}

void TestAbout::geometry()
{
    QFETCH(int, place);
    const testing::DesignedPlace &designed = testing::frmAboutPlaces.at(std::size_t(place));

    QWidget *about = openAbout();
    QVERIFY(about);
    const testing::PixelRect &client = testing::frmAboutPixels.at96;
    QCOMPARE(about->geometry(), QRect(client.left, client.top, client.width, client.height));
    const QWidget *widget = nullptr;
    for (const QWidget *child : about->findChildren<QWidget *>(qt::toQString(designed.row->name))) {
        if (designed.row->index < 0 || child->property("index").toInt() == designed.row->index)
            widget = child;
    }
    QVERIFY(widget);
    const testing::PixelRect &rect = designed.at96;
    QCOMPARE(widget->geometry(), QRect(rect.left, rect.top, rect.width, rect.height));
}

void TestAbout::textsFit_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : { "lblTitle", "lblVersion", "lblDescription", "lblDisclaimer" })
        QTest::newRow(name) << QString::fromUtf8(name);
}

void TestAbout::textsFit()
{
    QFETCH(QString, name);

    QWidget *about = openAbout();
    QVERIFY(about);
    auto *label = about->findChild<QLabel *>(name);

    // The text's ink inside the label must be all of it: drawn again with room to spare
    // below, it must not show more.
    const auto ink = [](QWidget &widget) {
        QImage image(widget.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels += qAlpha(image.pixel(x, y)) != 0;
        return pixels;
    };
    QLabel roomy(label->text());
    roomy.setFont(label->font());
    roomy.setWordWrap(label->wordWrap());
    roomy.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    roomy.resize(label->width(), label->height() * 4);
    const int all = ink(roomy);
    QVERIFY(all > 0);
    QCOMPARE(ink(*label), all);

    if (name != QStringLiteral("lblVersion"))
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void TestAbout::separator()
{
    QWidget *about = openAbout();
    QVERIFY(about);
    // An etched groove: the grey line lies on the top row of the white one. Away from the
    // description label, whose text could reach the row.
    const QImage image = about->grab().toImage();
    for (const int x : { 0, 69, 330, 369 }) {
        QCOMPARE(image.pixelColor(x, 112), QColor(0x80, 0x80, 0x80));
        QCOMPARE(image.pixelColor(x, 113), QColor(0xFF, 0xFF, 0xFF));
    }
}

void TestAbout::focus()
{
    QWidget *about = openAbout();
    QVERIFY(about);
    QWidget *widget = about->findChild<QWidget *>(QStringLiteral("cmdOK"));
    QCOMPARE(about->focusWidget(), widget);
    QStringList order;
    for (int i = 0; i < 3; ++i) {
        order << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
    }
    QCOMPARE(order,
        (QStringList {
            QStringLiteral("cmdOK"), QStringLiteral("picIcon"), QStringLiteral("cmdSysInfo") }));
    QCOMPARE(widget->objectName(), QStringLiteral("cmdOK"));
}

void TestAbout::secondClickBringsTheSameWindow()
{
    QWidget *first = openAbout();
    QVERIFY(first);
    auto *version = first->findChild<QLabel *>(QStringLiteral("lblVersion"));
    version->setText(QStringLiteral("marked"));
    first->showMinimized();
    QVERIFY(first->isMinimized());

    QCOMPARE(openAbout(), first);
    QCOMPARE(openAboutWindows().size(), 1);
    QVERIFY(!first->isMinimized());
    // Not loaded again.
    QCOMPARE(version->text(), QStringLiteral("marked"));
}

void TestAbout::reloadsAfterClosing_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("OK clicked") << QStringLiteral("click");
    QTest::newRow("Enter on OK") << QStringLiteral("enter");
    QTest::newRow("Return on OK") << QStringLiteral("return");
    QTest::newRow("Esc") << QStringLiteral("escape");
    QTest::newRow("close box") << QStringLiteral("close");
}

void TestAbout::reloadsAfterClosing()
{
    QFETCH(QString, how);

    QPointer<QWidget> first = openAbout();
    QVERIFY(first);
    first->findChild<QLabel *>(QStringLiteral("lblVersion"))->setText(QStringLiteral("marked"));
    first->setWindowTitle(QStringLiteral("marked"));

    auto *ok = first->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    if (how == QStringLiteral("click"))
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (how == QStringLiteral("enter"))
        QTest::keyClick(ok, Qt::Key_Enter);
    else if (how == QStringLiteral("return"))
        QTest::keyClick(ok, Qt::Key_Return);
    else if (how == QStringLiteral("escape"))
        QTest::keyClick(ok, Qt::Key_Escape);
    else
        first->close();

    QTRY_VERIFY_WITH_TIMEOUT(!first, 30000);
    QVERIFY(openAboutWindows().isEmpty());

    QWidget *second = openAbout();
    QVERIFY(second);
    QCOMPARE(second->windowTitle(), QStringLiteral("关于 Korvane"));
    QCOMPARE(second->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
        QStringLiteral("版本 " KORVANE_VERSION));
}

void TestAbout::sysInfo_data()
{
    QTest::addColumn<bool>("toolKnown");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("viaAltS");
    QTest::addColumn<Texts>("started");
    QTest::addColumn<Texts>("messages");

    const Texts tool { "/opt/info tool/kinfocenter" };
    const Texts unavailable { "此时系统信息不可用" };
    QTest::newRow("tool found") << true << true << false << tool << Texts {};
    QTest::newRow("tool found, Alt+S") << true << true << true << tool << Texts {};
    QTest::newRow("no tool") << false << true << false << Texts {} << unavailable;
    QTest::newRow("start fails") << true << false << false << Texts {} << unavailable;
}

void TestAbout::sysInfo()
{
    QFETCH(bool, toolKnown);
    QFETCH(bool, starts);
    QFETCH(bool, viaAltS);
    QFETCH(Texts, started);
    QFETCH(Texts, messages);

    if (toolKnown)
        m_fakes.registry.keys[toolKey]["PATH"]
            = testing::FakeRegistry::text("/opt/info tool/kinfocenter");
    m_fakes.runner.startsSucceed = starts;

    QWidget *about = openAbout();
    QVERIFY(about);
    if (viaAltS) {
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about, 30000));
        QTest::keyClick(about, Qt::Key_S, Qt::AltModifier);
    } else {
        QTest::mouseClick(
            about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    }

    QTRY_COMPARE_WITH_TIMEOUT(
        int(m_fakes.runner.attempts.size()), starts || !toolKnown ? int(started.size()) : 1, 30000);
    QCOMPARE(m_fakes.runner.startedIn(WindowStyle::NormalWithFocus), started);
    QCOMPARE(m_fakes.messageBox.shown, messages);
    // The dialog stays open either way.
    QCOMPARE(openAboutWindows(), QList<QWidget *> { about });
}

void TestAbout::outlivesTheMainWindow()
{
    bool aliveAfterMainClosed = false;
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);

    // Qt decides whether a closing window was the last one during the close itself.
    QTimer::singleShot(0, this, [&] {
        const QPointer<QWidget> about = openAbout();
        m_form->close();
        aliveAfterMainClosed = about && about->isVisible() && lastClosed.isEmpty();
        if (about)
            about->close();
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
    guard.start(30000);

    // Closing the last window, the About window, ends the event loop by itself.
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(aliveAfterMainClosed);
    QCOMPARE(lastClosed.size(), 1);
}

} // namespace korvane

QTEST_MAIN(korvane::TestAbout)
#include "tst_frm_about_qt.moc"
