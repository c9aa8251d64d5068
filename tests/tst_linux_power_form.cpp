#include "fakes.h"
#include "linux_power/private_bus.h"
#include "main_window/main_form.h"
#include "platform/command_runner_posix.h"
#include "platform/locale_qt.h"

#include <QPushButton>
#include <QTest>

#include <time.h>

namespace korvane {

using testing::FakeClock;
using testing::FakeFileLookup;
using testing::FakeInputBox;
using testing::FakeMessageBox;
using testing::FakeRegistry;
using testing::MockCall;
using testing::MockLogind;

// The window, its real command runner and the built stand-in, down to the mock logind.
class TestLinuxPowerForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shutdownThenCancel_data();
    void shutdownThenCancel();

private:
    std::optional<MockLogind> m_mock;
};

namespace {

qulonglong realtimeUsec()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return qulonglong(now.tv_sec) * 1000000 + qulonglong(now.tv_nsec / 1000);
}

} // namespace

void TestLinuxPowerForm::initTestCase()
{
    // The runner hands this environment to the stand-in: it must name the harness's bus.
    QVERIFY2(testing::privateSystemBus(),
        "run through tests/linux_power/private_bus.sh, never against the machine's bus");
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
    // The window writes "90,6"; the stand-in must read it with the same locale.
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
    FakeInputBox inputBox({ entry.toStdString() });
    FakeMessageBox messageBox;
    PosixCommandRunner runner(KORVANE_HELPER_OUTPUT_DIR);
    const QtLocale locale { QLocale(localeName) };
    const FakeClock clock;
    FakeRegistry registry;
    const FakeFileLookup files;
    MainForm form({ inputBox, messageBox, runner, locale, clock, registry, files });
    form.show();

    const qulonglong before = realtimeUsec();
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(form.ActionScheduled());
    // The runner does not wait for the stand-in, so wait for the mock instead.
    QTRY_COMPARE_WITH_TIMEOUT(m_mock->calls().value_or(QList<MockCall>()).size(), 1, 10000);
    const qulonglong after = realtimeUsec();

    const MockCall scheduled = m_mock->calls()->first();
    QCOMPARE(scheduled.method, QStringLiteral("ScheduleShutdown"));
    QCOMPARE(scheduled.arguments.value(0).toString(), QStringLiteral("poweroff"));
    const qulonglong when = scheduled.arguments.value(1).toULongLong();
    QVERIFY(when >= before + delayUsec && when <= after + delayUsec);

    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);
    QVERIFY(!form.ActionScheduled());
    QTRY_COMPARE_WITH_TIMEOUT(m_mock->calls().value_or(QList<MockCall>()).size(), 2, 10000);
    QCOMPARE(m_mock->calls()->last().method, QStringLiteral("CancelScheduledShutdown"));
    QVERIFY(messageBox.shown.empty());
}

} // namespace korvane

QTEST_MAIN(korvane::TestLinuxPowerForm)
#include "tst_linux_power_form.moc"
