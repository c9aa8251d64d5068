#include "core/fakes.h"
#include "linux/logind/realtime.h"
#include "linux/private_bus.h"
#include "os/command_runner_linux.h"
#include "qt/locale_qt.h"
#include "qt/main_form_qt.h"
#include "qt/ui_thread_qt.h"

#include <QPushButton>
#include <QTest>

namespace korvane {

using logind::realtimeUsec;
using qt::MainForm;
using testing::FakeClock;
using testing::FakeFileLookup;
using testing::FakeInputBox;
using testing::FakeMessageBox;
using testing::FakeRegistry;
using testing::MockCall;
using testing::MockLogind;

// The window, its real command runner and the built helper, down to the mock logind.
class TestLinuxPowerForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shutdownThenCancel_data();
    void shutdownThenCancel();
    void refusals_data();
    void refusals();

private:
    std::optional<MockLogind> m_mock;
};

namespace {

// The main window over the real runner and the built helper; the rest is faked.
struct PowerWindow {
    explicit PowerWindow(const QLocale &qtLocale, std::deque<std::string> answers)
        : inputBox(std::move(answers))
        , locale { qtLocale }
    {
    }

    void click(const char *name)
    {
        QTest::mouseClick(form.findChild<QPushButton *>(QString::fromUtf8(name)), Qt::LeftButton);
    }

    FakeInputBox inputBox;
    FakeMessageBox messageBox;
    qt::UiThread uiThread;
    LinuxCommandRunner runner { KORVANE_HELPER_OUTPUT_DIR, uiThread };
    const qt::Locale locale;
    const FakeClock clock;
    FakeRegistry registry;
    const FakeFileLookup files;
    MainForm form { { inputBox, messageBox, runner, locale, clock, registry, files,
        helperExitCodes } };
};

} // namespace

void TestLinuxPowerForm::initTestCase()
{
    // The runner hands this environment to the helper: it must name the harness's bus.
    QVERIFY2(testing::privateSystemBus(),
        "run through tests/linux/private_bus.py, never against the machine's bus");
    QVERIFY2(testing::mockLogindRunning(), "needs the mock logind");
    m_mock.emplace();
}

void TestLinuxPowerForm::shutdownThenCancel_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qulonglong>("delayUsec");

    QTest::newRow("default entry")
        << QStringLiteral("C.UTF-8") << QStringLiteral("10") << qulonglong(600000000);
    // The window writes "90,6"; the helper must read it with the same locale.
    QTest::newRow("fraction, German")
        << QStringLiteral("de_DE.UTF-8") << QStringLiteral("1,51") << qulonglong(90600000);
}

void TestLinuxPowerForm::shutdownThenCancel()
{
    QFETCH(QString, localeName);
    QFETCH(QString, entry);
    QFETCH(qulonglong, delayUsec);

    QVERIFY(m_mock->reset());
    qputenv("LC_ALL", localeName.toUtf8());
    PowerWindow window(QLocale(localeName), { entry.toStdString() });
    window.form.show();

    const auto before = qulonglong(realtimeUsec());
    window.click("Command1");
    QVERIFY(window.form.ActionScheduled());
    // The runner does not wait for the helper, so wait for the mock instead.
    QTRY_COMPARE_WITH_TIMEOUT(m_mock->callCount(), 1, 30000);
    const auto after = qulonglong(realtimeUsec());

    const MockCall scheduled = m_mock->calls()->first();
    QCOMPARE(scheduled.method, QStringLiteral("ScheduleShutdown"));
    QCOMPARE(scheduled.arguments.value(0).toString(), QStringLiteral("poweroff"));
    const qulonglong when = scheduled.arguments.value(1).toULongLong();
    QVERIFY(when >= before + delayUsec && when <= after + delayUsec);

    window.click("Command3");
    QVERIFY(!window.form.ActionScheduled());
    QTRY_COMPARE_WITH_TIMEOUT(m_mock->callCount(), 2, 30000);
    QCOMPARE(m_mock->calls()->last().method, QStringLiteral("CancelScheduledShutdown"));
    // The helper's success reaches the window, and success shows nothing.
    QTest::qWait(300);
    QVERIFY(window.messageBox.shown.empty());
}

void TestLinuxPowerForm::refusals_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("scheduledAfter");

    const QString accessDenied = QStringLiteral("raise dbus.exceptions.DBusException('no', "
                                                "name='org.freedesktop.DBus.Error.AccessDenied')");
    QTest::newRow("polkit refuses the shutdown")
        << QStringLiteral("ScheduleShutdown") << accessDenied
        << QStringLiteral("系统拒绝了关闭计算机的请求") << true;
    QTest::newRow("nothing to cancel")
        << QStringLiteral("CancelScheduledShutdown") << QStringLiteral("ret = False")
        << QStringLiteral("系统中没有待取消的关闭/重启计算机操作") << false;
    QTest::newRow("polkit refuses the cancel")
        << QStringLiteral("CancelScheduledShutdown") << accessDenied
        << QStringLiteral("系统未能取消关闭/重启计算机") << false;
}

// The helper's exit codes, read by the window: schedule, then cancel when the row's
// method is the cancel.
void TestLinuxPowerForm::refusals()
{
    QFETCH(QString, method);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QFETCH(bool, scheduledAfter);

    QVERIFY(m_mock->reset());
    QVERIFY(m_mock->setMethod(method,
        method == QStringLiteral("ScheduleShutdown") ? QStringLiteral("st") : QString(),
        method == QStringLiteral("ScheduleShutdown") ? QString() : QStringLiteral("b"), code));
    qputenv("LC_ALL", "C.UTF-8");
    PowerWindow window(QLocale::c(), { "10" });

    window.click("Command1");
    if (method == QStringLiteral("CancelScheduledShutdown")) {
        QTRY_COMPARE_WITH_TIMEOUT(m_mock->callCount(), 1, 30000);
        window.click("Command3");
    }

    QTRY_COMPARE_WITH_TIMEOUT(window.messageBox.shown.size(), 1U, 30000);
    QCOMPARE(QString::fromStdString(window.messageBox.shown.front()), message);
    QCOMPARE(window.form.ActionScheduled(), scheduledAfter);
}

} // namespace korvane

QTEST_MAIN(korvane::TestLinuxPowerForm)
#include "tst_linux_power_form.moc"
