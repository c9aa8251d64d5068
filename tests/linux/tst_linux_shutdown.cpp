#include "linux/logind/realtime.h"
#include "linux/private_bus.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace korvane {

using logind::realtimeUsec;
using testing::MockCall;
using testing::MockLogind;

namespace {

const QString helper = QStringLiteral(KORVANE_HELPER_OUTPUT_DIR "/shutdown");

struct Run {
    int exitCode = -1;
    QString standardError;
    qint64 elapsedMs = 0;
};

// Runs the helper in this process's environment (the private bus), with changes on top.
Run runHelper(const QStringList &arguments, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(helper, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromLocal8Bit(process.readAllStandardError()), clock.elapsed() };
}

// A command line's words, split at blanks.
QStringList words(const char *line)
{
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

bool isOneLine(const QString &text)
{
    return !text.isEmpty() && text.count(u'\n') == 1 && text.endsWith(u'\n');
}

} // namespace

class TestLinuxShutdown : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void commandLines_data();
    void commandLines();
    void microseconds_data();
    void microseconds();
    void refusedByLogind_data();
    void refusedByLogind();
    void nothingToCancel();
    void noBus();
    void noLogind();

private:
    std::optional<MockLogind> m_mock;
};

void TestLinuxShutdown::initTestCase()
{
    // Before anything touches a bus: these tests run only on the harness's own bus.
    QVERIFY2(testing::privateSystemBus(),
        "run through tests/linux/private_bus.py, never against the machine's bus");
    QVERIFY(QFileInfo(helper).isExecutable());
    if (testing::mockLogindRunning())
        m_mock.emplace();
}

void TestLinuxShutdown::init()
{
    const QByteArray name = QTest::currentTestFunction();
    const bool wantsMock = name != "noLogind" && name != "noBus";
    if (wantsMock && !m_mock)
        QSKIP("needs the mock logind");
    if (name == "noLogind" && m_mock)
        QSKIP("needs a bus without logind");
    if (m_mock)
        QVERIFY(m_mock->reset());
}

void TestLinuxShutdown::commandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("kind");

    const QString schedule = QStringLiteral("ScheduleShutdown");
    const QString none;
    QTest::newRow("power off") << words("-s -t 600") << 0 << schedule << QStringLiteral("poweroff");
    QTest::newRow("restart") << words("-r -t 0") << 0 << schedule << QStringLiteral("reboot");
    QTest::newRow("cancel") << words("-a") << 0 << QStringLiteral("CancelScheduledShutdown")
                            << none;
    QTest::newRow("help") << words("--help") << 0 << none << none;

    // The parser's own table covers every refusal; these show that a refusal reaches no bus.
    for (const char *line :
        { "", "-s -t -300", "-s -t 1e3", "-r -t 315360001", "-s -t 600 -a", "-h now" }) {
        const QStringList arguments = words(line);
        const QByteArray name = "refused: " + arguments.join(u' ').toUtf8();
        QTest::newRow(name.constData()) << arguments << 2 << none << none;
    }
}

void TestLinuxShutdown::commandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, method);
    QFETCH(QString, kind);

    const Run run = runHelper(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0)
        QVERIFY2(isOneLine(run.standardError), qPrintable(run.standardError));

    const std::optional<QList<MockCall>> calls = m_mock->calls();
    QVERIFY(calls);
    if (method.isEmpty()) {
        QVERIFY(calls->isEmpty());
        return;
    }
    QCOMPARE(calls->size(), 1);
    QCOMPARE(calls->first().method, method);
    if (!kind.isEmpty())
        QCOMPARE(calls->first().arguments.value(0).toString(), kind);
}

void TestLinuxShutdown::microseconds_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qulonglong>("delayUsec");

    const QString c = QStringLiteral("C.UTF-8");
    QTest::newRow("90.6 s") << QStringLiteral("90.6") << c << qulonglong(90600000);
    QTest::newRow("0 s") << QStringLiteral("0") << c << qulonglong(0);
    QTest::newRow("largest delay") << QStringLiteral("59999940") << c << qulonglong(59999940000000);
    // Qt takes the separator from the locale's name, whether or not glibc has the locale.
    QTest::newRow("90,6 s, German")
        << QStringLiteral("90,6") << QStringLiteral("de_DE.UTF-8") << qulonglong(90600000);
    QTest::newRow("90.6 s, German")
        << QStringLiteral("90.6") << QStringLiteral("de_DE.UTF-8") << qulonglong(90600000);
}

void TestLinuxShutdown::microseconds()
{
    QFETCH(QString, seconds);
    QFETCH(QString, locale);
    QFETCH(qulonglong, delayUsec);

    const auto before = qulonglong(realtimeUsec());
    const Run run = runHelper(words("-s -t") << seconds, { QStringLiteral("LC_ALL=") + locale });
    const auto after = qulonglong(realtimeUsec());
    QCOMPARE(run.exitCode, 0);

    const std::optional<QList<MockCall>> calls = m_mock->calls();
    QVERIFY(calls);
    QCOMPARE(calls->size(), 1);
    const QVariant when = calls->first().arguments.value(1);
    QCOMPARE(when.metaType().id(), QMetaType::ULongLong);
    QVERIFY2(when.toULongLong() >= before + delayUsec, qPrintable(when.toString()));
    QVERIFY2(when.toULongLong() <= after + delayUsec, qPrintable(when.toString()));
}

void TestLinuxShutdown::refusedByLogind_data()
{
    QTest::addColumn<QString>("errorName");
    QTest::addColumn<QString>("cause");

    QTest::newRow("polkit said no") << QStringLiteral("org.freedesktop.DBus.Error.AccessDenied")
                                    << QStringLiteral("not authorized");
    QTest::newRow("interactive authorization needed")
        << QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")
        << QStringLiteral("no agent");
    QTest::newRow("bad time") << QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")
                              << QStringLiteral("refused");
}

void TestLinuxShutdown::refusedByLogind()
{
    QFETCH(QString, errorName);
    QFETCH(QString, cause);

    QVERIFY(m_mock->setMethod(QStringLiteral("ScheduleShutdown"), QStringLiteral("st"), {},
        QStringLiteral("raise dbus.exceptions.DBusException('no', name='%1')").arg(errorName)));
    const Run run = runHelper(words("-r -t 60"));
    QCOMPARE(run.exitCode, 4);
    QVERIFY2(isOneLine(run.standardError), qPrintable(run.standardError));
    QVERIFY2(run.standardError.contains(cause), qPrintable(run.standardError));
    QVERIFY2(run.standardError.contains(errorName), qPrintable(run.standardError));
}

void TestLinuxShutdown::nothingToCancel()
{
    QVERIFY(m_mock->setMethod(QStringLiteral("CancelScheduledShutdown"), {}, QStringLiteral("b"),
        QStringLiteral("ret = False")));
    const Run run = runHelper(words("-a"));
    QCOMPARE(run.exitCode, 5);
    QVERIFY2(isOneLine(run.standardError), qPrintable(run.standardError));
}

void TestLinuxShutdown::noBus()
{
    const QString missing = QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS=unix:path=%1/missing_socket")
                                .arg(qEnvironmentVariable("KORVANE_PRIVATE_BUS_DIR"));
    for (const char *line : { "-s -t 60", "-a" }) {
        const Run run = runHelper(words(line), { missing });
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(isOneLine(run.standardError), qPrintable(run.standardError));
        QVERIFY(run.standardError.contains(QStringLiteral("system bus")));
        QVERIFY2(run.elapsedMs < 5000, qPrintable(QString::number(run.elapsedMs)));
    }
}

void TestLinuxShutdown::noLogind()
{
    for (const char *line : { "-s -t 60", "-a" }) {
        const Run run = runHelper(words(line));
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(isOneLine(run.standardError), qPrintable(run.standardError));
        QVERIFY2(run.standardError.contains(QStringLiteral("not on the system bus")),
            qPrintable(run.standardError));
        QVERIFY2(run.elapsedMs < 5000, qPrintable(QString::number(run.elapsedMs)));
    }
}

} // namespace korvane

QTEST_GUILESS_MAIN(korvane::TestLinuxShutdown)
#include "tst_linux_shutdown.moc"
