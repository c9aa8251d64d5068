#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// What the tests of the shutdown helper need from the private bus that private_bus.py
// starts: a check that it really is that bus, and the mock logind's call record.
namespace korvane::testing {

// The address of the harness's own bus, or nullopt when this process could reach any other
// bus: DBUS_SYSTEM_BUS_ADDRESS unset, elsewhere than the harness's folder, or the machine's.
inline std::optional<QString> privateSystemBus()
{
    const QString folder = qEnvironmentVariable("KORVANE_PRIVATE_BUS_DIR");
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    const QString session = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)
        || folder.startsWith(QStringLiteral("/run/")) || folder.startsWith(QStringLiteral("/var/")))
        return std::nullopt;
    const QString expected = QStringLiteral("unix:path=%1/system_bus_socket").arg(folder);
    if (address != expected || !session.startsWith(QStringLiteral("unix:path=%1/").arg(folder)))
        return std::nullopt;
    return address;
}

inline bool mockLogindRunning()
{
    return qEnvironmentVariable("KORVANE_MOCK_LOGIND") == QStringLiteral("yes");
}

struct MockCall {
    QString method;
    QVariantList arguments;
};

class MockLogind {
public:
    // The mock answers at once; one that has not by then is hung.
    static constexpr int answerTimeoutMs = 30000;

    // Only ever built after privateSystemBus() has said yes.
    MockLogind()
        : m_bus(QDBusConnection::systemBus())
    {
    }

    [[nodiscard]] bool call(const QString &method, const QVariantList &arguments = {},
        const QString &interface = QStringLiteral("org.freedesktop.DBus.Mock")) const
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                QStringLiteral("/org/freedesktop/login1"), interface, method);
        message.setArguments(arguments);
        m_lastReply = m_bus.call(message, QDBus::Block, answerTimeoutMs);
        return m_lastReply.type() == QDBusMessage::ReplyMessage;
    }

    // Replaces one method of the logind Manager; code is Python run by the mock.
    [[nodiscard]] bool setMethod(const QString &name, const QString &inSignature,
        const QString &outSignature, const QString &code) const
    {
        return call(QStringLiteral("AddMethod"),
            { QStringLiteral("org.freedesktop.login1.Manager"), name, inSignature, outSignature,
                code });
    }

    // The methods as the mock starts with them, nothing pending, no calls.
    [[nodiscard]] bool reset() const
    {
        return call(QStringLiteral("Reset"), {}, QStringLiteral("org.example.Test"));
    }

    // How many Manager calls there were since the last reset; none if the mock did not answer.
    [[nodiscard]] qsizetype callCount() const { return calls().value_or(QList<MockCall>()).size(); }

    // The Manager calls since the last reset, oldest first; nullopt if the mock did not answer.
    [[nodiscard]] std::optional<QList<MockCall>> calls() const
    {
        if (!call(QStringLiteral("GetCalls")) || m_lastReply.arguments().size() != 1)
            return std::nullopt;
        QList<MockCall> result;
        const QDBusArgument record = m_lastReply.arguments().first().value<QDBusArgument>();
        record.beginArray();
        while (!record.atEnd()) {
            qulonglong timestamp = 0;
            MockCall entry;
            record.beginStructure();
            record >> timestamp >> entry.method >> entry.arguments;
            record.endStructure();
            result.append(entry);
        }
        record.endArray();
        return result;
    }

private:
    QDBusConnection m_bus;
    mutable QDBusMessage m_lastReply;
};

} // namespace korvane::testing
