#include "schedule_watch.h"

#include "linux/logind/tell.h"
#include "when_answered.h"

#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace korvane::notifier {

namespace {

// logind writes its schedule there; the user manager's path unit starts the notifier while
// the file exists.
const QString runSystemd = QStringLiteral("/run/systemd");
const QString runShutdown = QStringLiteral("/run/systemd/shutdown");
const QString scheduleFile = QStringLiteral("/run/systemd/shutdown/scheduled");

} // namespace

ScheduleWatch::ScheduleWatch(const QDBusConnection &system, QObject *parent)
    : QObject(parent)
    , m_system(system)
    , m_folderWatcher(new QFileSystemWatcher(this))
    , m_logindWatcher(new QDBusServiceWatcher(
          logind::service, system, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    connect(m_folderWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFolder();
        readAgain();
    });
    connect(m_logindWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            if (!owner.isEmpty())
                readAgain();
        });
    // Qt's bus API takes these by slot name only.
    m_system.connect(logind::service, logind::path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    m_system.connect(logind::service, logind::path, logind::manager,
        QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    watchFolder();
}

void ScheduleWatch::start()
{
    if (m_reading != Reading::NotStarted)
        return;
    m_reading = Reading::Idle;
    readAgain();
}

void ScheduleWatch::readAgain()
{
    switch (m_reading) {
    case Reading::NotStarted:
        return;
    case Reading::Reading:
    case Reading::ReadAgain:
        m_reading = Reading::ReadAgain;
        return;
    case Reading::Idle:
        m_reading = Reading::Reading;
        whenAnswered(logind::readScheduledShutdown(m_system), this,
            [this](const QDBusPendingCall &answer) { answered(answer); });
        return;
    }
}

bool ScheduleWatch::mayBePending() const
{
    return m_reading == Reading::Reading || m_reading == Reading::ReadAgain
        || QFileInfo::exists(scheduleFile);
}

void ScheduleWatch::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface == logind::manager
        && (changed.contains(logind::scheduledShutdownName)
            || invalidated.contains(logind::scheduledShutdownName)))
        readAgain();
}

void ScheduleWatch::prepareForSleep(bool sleeping)
{
    // Back from sleep: the schedule may have changed while no one was looking.
    if (!sleeping)
        readAgain();
}

void ScheduleWatch::answered(const QDBusPendingCall &answer)
{
    const bool again = m_reading == Reading::ReadAgain;
    m_reading = Reading::Idle;
    const std::optional<logind::ScheduledShutdown> schedule = logind::scheduledShutdown(answer);
    if (schedule) {
        m_logind = Logind::Answered;
    } else if (m_logind == Logind::NotAsked) {
        m_logind = Logind::Missing;
        tell(QStringLiteral("cannot read ScheduledShutdown from systemd-logind: %1")
                 .arg(QDBusPendingReply<>(answer).error().message()));
    }
    if (again)
        readAgain();
    emit read(schedule);
}

// The schedule's folder comes and goes with the first schedule; until then its parent says
// when it appears.
void ScheduleWatch::watchFolder()
{
    const QString folder = QDir(runShutdown).exists() ? runShutdown : runSystemd;
    if (!m_folderWatcher->directories().contains(folder) && QDir(folder).exists())
        m_folderWatcher->addPath(folder);
    if (folder == runShutdown && m_folderWatcher->directories().contains(runSystemd))
        m_folderWatcher->removePath(runSystemd);
}

} // namespace korvane::notifier
