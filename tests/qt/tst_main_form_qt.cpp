#include "core/form_fakes.h"
#include "qt/main_form_qt.h"

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
    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void tabOrder();
    void clicks_data();
    void clicks();
    void accessKeys_data();
    void accessKeys();
    void timerTicksTheClock();
    void exitLeavesTheScheduleAlone();
    void sponsor_data();
    void sponsor();

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
}

void TestMainForm::fixedWindow()
{
    QCOMPARE(m_form->size(), QSize(289, 200));
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

void TestMainForm::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");

    QTest::newRow("Frame1") << QStringLiteral("Frame1") << QRect(8, 8, 265, 185);
    QTest::newRow("Command1") << QStringLiteral("Command1") << QRect(24, 16, 97, 41);
    QTest::newRow("Command2") << QStringLiteral("Command2") << QRect(136, 16, 105, 41);
    QTest::newRow("Command3") << QStringLiteral("Command3") << QRect(24, 72, 97, 41);
    QTest::newRow("Command4") << QStringLiteral("Command4") << QRect(136, 72, 105, 41);
    QTest::newRow("Command5") << QStringLiteral("Command5") << QRect(24, 128, 97, 41);
    QTest::newRow("Command6") << QStringLiteral("Command6") << QRect(136, 128, 105, 41);
}

void TestMainForm::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);

    const QWidget *widget = m_form->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), rect);
    if (name != QStringLiteral("Frame1"))
        QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("Frame1"));
}

void TestMainForm::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Command1") << QStringLiteral("Command1") << QStringLiteral("关闭计算机(&C)");
    QTest::newRow("Command2") << QStringLiteral("Command2") << QStringLiteral("重启计算机(&D)");
    QTest::newRow("Command3") << QStringLiteral("Command3") << QStringLiteral("取消操作(&D)");
    QTest::newRow("Command4") << QStringLiteral("Command4") << QStringLiteral("退出程序(&F)");
    QTest::newRow("Command5") << QStringLiteral("Command5") << QStringLiteral("关于本程序(&Q)");
    QTest::newRow("Command6") << QStringLiteral("Command6") << QStringLiteral("赞助我们(&G)");
}

void TestMainForm::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);

    const QPushButton *push = m_form->findChild<QPushButton *>(name);
    QVERIFY(push);
    QCOMPARE(push->text(), caption);
    // No button answers Enter or Esc for the window.
    QVERIFY(!push->isDefault());
    QVERIFY(!push->autoDefault());
    QCOMPARE(m_form->findChild<QGroupBox *>(QStringLiteral("Frame1"))->title(),
        QStringLiteral("功能选择"));
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
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<int>("messages");
    QTest::addColumn<bool>("scheduled");

    QTest::newRow("shutdown") << QStringList { QStringLiteral("Command1") }
                              << QStringList { QStringLiteral("10") }
                              << QStringList { QStringLiteral("shutdown -s -t 600") } << 0 << true;
    QTest::newRow("restart") << QStringList { QStringLiteral("Command2") }
                             << QStringList { QStringLiteral("0") }
                             << QStringList { QStringLiteral("shutdown -r -t 0") } << 0 << true;
    QTest::newRow("cancel first") << QStringList { QStringLiteral("Command3") } << QStringList {}
                                  << QStringList {} << 1 << false;
    QTest::newRow("shutdown, cancel")
        << QStringList { QStringLiteral("Command1"), QStringLiteral("Command3") }
        << QStringList { QStringLiteral("1.5") }
        << QStringList { QStringLiteral("shutdown -s -t 90"), QStringLiteral("shutdown -a") } << 0
        << false;
    QTest::newRow("sponsor and about change nothing")
        << QStringList { QStringLiteral("Command5"), QStringLiteral("Command6") } << QStringList {}
        << QStringList {} << -1 << false;
}

void TestMainForm::clicks()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, started);
    QFETCH(int, messages);
    QFETCH(bool, scheduled);

    for (const QString &answer : answers)
        m_fakes.inputBox.answers.push_back(answer.toStdString());
    for (const QString &name : clicks)
        QTest::mouseClick(m_form->findChild<QPushButton *>(name), Qt::LeftButton);

    QStringList texts;
    for (const auto &start : m_fakes.runner.started)
        texts << QString::fromStdString(start.text);
    QCOMPARE(texts, started);
    if (messages >= 0)
        QCOMPARE(int(m_fakes.messageBox.shown.size()), messages);
    QCOMPARE(m_form->ActionScheduled(), scheduled);
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

void TestMainForm::sponsor_data()
{
    QTest::addColumn<bool>("scheduled");

    QTest::newRow("nothing scheduled") << false;
    QTest::newRow("shutdown scheduled") << true;
}

void TestMainForm::sponsor()
{
    QFETCH(bool, scheduled);

    if (scheduled) {
        m_fakes.inputBox.answers = { "10" };
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
    }
    const std::size_t startedBefore = m_fakes.runner.started.size();

    QTest::mouseClick(button("Command6"), Qt::LeftButton);

    QCOMPARE(m_fakes.messageBox.shown.size(), 1U);
    const QString notice = QString::fromStdString(m_fakes.messageBox.shown.front());
    QVERIFY(notice.contains(QStringLiteral("版权所有")));
    QVERIFY(notice.contains(QStringLiteral("电")));
    QVERIFY(!notice.contains(u'\n'));
    QCOMPARE(m_fakes.runner.started.size(), startedBefore);
    QCOMPARE(m_form->ActionScheduled(), scheduled);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("程序加载中..."));
}

} // namespace korvane

QTEST_MAIN(korvane::TestMainForm)
#include "tst_main_form_qt.moc"
