#include "core/designed_pixels.h"
#include "core/form_fakes.h"
#include "qt/main_form_qt.h"
#include "qt/text_qt.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace korvane {

using qt::MainForm;

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startupCaption();
    void fixedWindow();
    void controls_data();
    void controls();
    void tabOrder();
    void clicks_data();
    void clicks();
    void accessKeys_data();
    void accessKeys();
    void timerTicksTheClock();
    void exitLeavesTheScheduleAlone();

private:
    QPushButton *button(const char *name) const
    {
        return m_form->findChild<QPushButton *>(QString::fromUtf8(name));
    }

    testing::FormFakes m_fakes;
    std::unique_ptr<MainForm> m_form;
};

void TestMainForm::init()
{
    m_fakes = testing::FormFakes();
    m_form = std::make_unique<MainForm>(m_fakes.services());
}

void TestMainForm::cleanup()
{
    m_form.reset();
}

void TestMainForm::startupCaption()
{
    m_form->show();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("程序加载中..."));
    QVERIFY(!m_form->ActionScheduled());
    // A screen reader meets a window, named with its caption.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_form.get());
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QCOMPARE(accessible->text(QAccessible::Name), m_form->windowTitle());
}

void TestMainForm::fixedWindow()
{
    const testing::PixelRect &client = testing::mainFormPixels.at96;
    QCOMPARE(m_form->size(), QSize(client.width, client.height));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    const Qt::WindowFlags flags = m_form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    // A top-level window of its own, so it has a taskbar entry.
    QVERIFY(m_form->isWindow());
    QCOMPARE(m_form->windowType(), Qt::Window);
}

void TestMainForm::controls_data()
{
    QTest::addColumn<int>("place");
    for (std::size_t i = 0; i < testing::mainFormPlaces.size(); ++i)
        QTest::newRow(testing::mainFormPlaces[i].row->name.data()) << int(i);
}

// Where the design puts them, in their container, with their designed captions; no button
// answers Enter or Esc for the window.
void TestMainForm::controls()
{
    QFETCH(int, place);
    const testing::DesignedPlace &designed = testing::mainFormPlaces.at(std::size_t(place));
    const ControlDesign &row = *designed.row;

    const QWidget *widget = m_form->findChild<QWidget *>(qt::toQString(row.name));
    QVERIFY(widget);
    const testing::PixelRect &rect = designed.at96;
    QCOMPARE(widget->geometry(), QRect(rect.left, rect.top, rect.width, rect.height));
    if (row.container)
        QCOMPARE(widget->parentWidget()->objectName(), qt::toQString(row.container->name));
    if (const auto *push = qobject_cast<const QPushButton *>(widget)) {
        QCOMPARE(push->text(), qt::toQString(row.caption));
        QVERIFY(!push->isDefault());
        QVERIFY(!push->autoDefault());
    } else {
        QCOMPARE(qobject_cast<const QGroupBox *>(widget)->title(), qt::toQString(row.caption));
    }
}

void TestMainForm::tabOrder()
{
    QWidget *widget = button("Command1");
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        order << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
    }
    QCOMPARE(order,
        (QStringList { QStringLiteral("Command1"), QStringLiteral("Command2"),
            QStringLiteral("Command3"), QStringLiteral("Command4"), QStringLiteral("Command5"),
            QStringLiteral("Command6") }));
    QCOMPARE(widget->objectName(), QStringLiteral("Command1"));
}

void TestMainForm::clicks_data()
{
    QTest::addColumn<int>("click");
    for (std::size_t i = 0; i < testing::mainFormClicks.size(); ++i)
        QTest::newRow(testing::mainFormClicks[i].name) << int(i);
}

void TestMainForm::clicks()
{
    QFETCH(int, click);
    const testing::ClickCase &row = testing::mainFormClicks.at(std::size_t(click));

    m_fakes.inputBox.answers = row.answers;
    QTest::mouseClick(button(row.button->name.data()), Qt::LeftButton);

    QVERIFY(m_fakes.runner.startedIn(WindowStyle::Hidden) == row.started);
    QVERIFY(m_fakes.messageBox.shown == row.messages);
    QCOMPARE(m_form->ActionScheduled(), row.scheduled);
}

void TestMainForm::accessKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("started");

    QTest::newRow("Alt+C shuts down") << int(Qt::Key_C) << QStringLiteral("shutdown -s -t 600");
    QTest::newRow("Alt+D reaches restart first") << int(Qt::Key_D) << QString();
}

void TestMainForm::accessKeys()
{
    QFETCH(int, key);
    QFETCH(QString, started);

    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get(), 30000));
    m_fakes.inputBox.answers = { "10" };

    QTest::keyClick(m_form.get(), Qt::Key(key), Qt::AltModifier);

    // A mnemonic that clicks presses the button visibly at once and clicks it a moment later,
    // so a button that is not down has no click coming.
    if (started.isEmpty()) {
        // Two buttons share D: the key moves the focus between them and clicks neither.
        QCOMPARE(QApplication::focusWidget(), button("Command2"));
        QVERIFY(!button("Command2")->isDown());
        QTest::keyClick(m_form.get(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), button("Command3"));
        QVERIFY(!button("Command3")->isDown());
        QVERIFY(m_fakes.runner.started.empty());
        QVERIFY(m_fakes.messageBox.shown.empty());
    } else {
        QVERIFY(button("Command1")->isDown());
        QTRY_COMPARE_WITH_TIMEOUT(m_fakes.runner.started.size(), 1U, 30000);
        QCOMPARE(QString::fromStdString(m_fakes.runner.started.front().text), started);
    }
}

void TestMainForm::timerTicksTheClock()
{
    const auto *timer = m_form->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());

    m_fakes.clock.time = { 14, 5, 9 };
    QTRY_COMPARE_WITH_TIMEOUT(m_form->windowTitle(), QStringLiteral("当前时间: 14:05:09"), 30000);

    // A change of the clock shows on the next tick.
    m_fakes.clock.time = { 9, 0, 0 };
    QTRY_COMPARE_WITH_TIMEOUT(m_form->windowTitle(), QStringLiteral("当前时间: 09:00:00"), 30000);

    // Closed, while the About window may keep the process alive, it stops.
    m_form->close();
    QVERIFY(!timer->isActive());
}

void TestMainForm::exitLeavesTheScheduleAlone()
{
    m_fakes.inputBox.answers = { "10" };
    QTest::mouseClick(button("Command1"), Qt::LeftButton);

    QTimer::singleShot(
        0, button("Command4"), [this] { QTest::mouseClick(button("Command4"), Qt::LeftButton); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
    guard.start(30000);

    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(m_fakes.runner.started.size(), 1U);
    QCOMPARE(QString::fromStdString(m_fakes.runner.started.front().text),
        QStringLiteral("shutdown -s -t 600"));
}

} // namespace korvane

QTEST_MAIN(korvane::TestMainForm)
#include "tst_main_form_qt.moc"
