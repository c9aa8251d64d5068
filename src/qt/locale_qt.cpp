#include "locale_qt.h"

#include <QTime>

#include <cmath>

namespace korvane {

namespace {

// The long time format without its time-zone field ('t' outside quotes), which the caption
// has no use for.
QString withoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.simplified();
}

} // namespace

QtLocale::QtLocale(const QLocale &locale)
    : m_locale(locale)
    , m_timeFormat(withoutTimeZone(m_locale.timeFormat(QLocale::LongFormat)))
{
}

std::optional<double> QtLocale::toNumber(const std::string &text) const
{
    bool ok = false;
    const double value = m_locale.toDouble(QString::fromStdString(text).trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string QtLocale::decimalSeparator() const
{
    return m_locale.decimalPoint().toStdString();
}

std::string QtLocale::timeText(const TimeOfDay &time) const
{
    return m_locale.toString(QTime(time.hour, time.minute, time.second), m_timeFormat)
        .toStdString();
}

TimeOfDay SystemClock::now() const
{
    const QTime time = QTime::currentTime();
    return { time.hour(), time.minute(), time.second() };
}

} // namespace korvane
