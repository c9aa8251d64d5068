#pragma once

#include "linux/logind/logind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class QDBusPendingCall;
class QDBusServiceWatcher;
class QFileSystemWatcher;

namespace korvane::notifier {

// Follows every hint that logind's schedule may have changed to one read of the schedule
// itself: logind 252 announces a change only by its schedule file, a restarted logind reloads
// its schedule without a word, and a machine that slept may wake to another one. One read at
// a time; hints meanwhile make one more.
class ScheduleWatch : public QObject {
    Q_OBJECT

public:
    explicit ScheduleWatch(const QDBusConnection &system, QObject *parent = nullptr);

    // Hints are followed from now on: a copy waiting in line for the bus name reads nothing.
    void start();
    void readAgain();
    // A read is unanswered, or logind's schedule file is there.
    [[nodiscard]] bool mayBePending() const;
    // logind did not answer the first read, nor any since.
    [[nodiscard]] bool logindMissing() const { return m_logind == Logind::Missing; }

signals:
    // nullopt where logind did not answer: the schedule, if any, still stands.
    void read(const std::optional<logind::ScheduledShutdown> &schedule);

private slots:
    void propertiesChanged(
        const QString &interface, const QVariantMap &changed, const QStringList &invalidated);
    void prepareForSleep(bool sleeping);

private:
    enum class Reading { NotStarted, Idle, Reading, ReadAgain };
    enum class Logind { NotAsked, Missing, Answered };

    void answered(const QDBusPendingCall &answer);
    void watchFolder();

    QDBusConnection m_system;
    QFileSystemWatcher *const m_folderWatcher;
    QDBusServiceWatcher *const m_logindWatcher;
    Reading m_reading = Reading::NotStarted;
    Logind m_logind = Logind::NotAsked;
};

} // namespace korvane::notifier
