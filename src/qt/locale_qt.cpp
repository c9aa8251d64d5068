#include "locale_qt.h"

#include <QTime>

#include <algorithm>
#include <cmath>

namespace korvane::qt {

namespace {

// A format as Qt reads it: pattern fields (runs of one letter) and the literal text between
// them, unquoted.
struct FormatPart {
    QString text;
    bool field = false;
};

// Only ASCII letters are pattern letters; every other character is literal.
bool isPatternLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QList<FormatPart> splitFormat(const QString &format)
{
    QList<FormatPart> parts;
    const auto appendLiteral = [&parts](QStringView text) {
        if (parts.isEmpty() || parts.back().field)
            parts.append({ {}, false });
        parts.back().text += text;
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            // '' is a quote, outside a quoted run and inside it.
            if (format.mid(i + 1).startsWith(u'\'')) {
                appendLiteral(u"'");
                i += 2;
                continue;
            }
            for (++i; i < format.size(); ++i) {
                if (format.at(i) != u'\'')
                    appendLiteral(format.mid(i, 1));
                else if (format.mid(i + 1).startsWith(u'\''))
                    appendLiteral(format.mid(i++, 1));
                else
                    break;
            }
            ++i;
        } else if (isPatternLetter(c)) {
            qsizetype end = i + 1;
            while (end < format.size() && format.at(end) == c)
                ++end;
            parts.append({ format.mid(i, end - i), true });
            i = end;
        } else {
            appendLiteral(format.mid(i, 1));
            ++i;
        }
    }
    return parts;
}

QString joinFormat(const QList<FormatPart> &parts)
{
    QString format;
    for (const FormatPart &part : parts) {
        if (part.field) {
            format += part.text;
            continue;
        }
        bool quoted = false;
        for (const QChar c : part.text) {
            const bool letter = isPatternLetter(c);
            if (letter != quoted) {
                format += u'\'';
                quoted = letter;
            }
            format += c == u'\'' ? QStringLiteral("''") : QString(c);
        }
        if (quoted)
            format += u'\'';
    }
    return format;
}

// Drops the time-zone field and what only framed it: blanks, a bracket pair around it, and
// the comma that set it off. The caption shows the time of day and nothing else.
void dropTimeZone(QList<FormatPart> &parts, qsizetype zone)
{
    static const QString openers = QStringLiteral("([");
    static const QString closers = QStringLiteral(")]");
    QString none;
    const bool hasBefore = zone > 0 && !parts.at(zone - 1).field;
    const bool hasAfter = zone + 1 < parts.size() && !parts.at(zone + 1).field;
    QString &before = hasBefore ? parts[zone - 1].text : none;
    QString &after = hasAfter ? parts[zone + 1].text : none;
    const auto trimEnd = [](QString &text) {
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
    };
    const auto trimStart = [](QString &text) {
        qsizetype n = 0;
        while (n < text.size() && text.at(n).isSpace())
            ++n;
        text.remove(0, n);
    };
    trimEnd(before);
    trimStart(after);
    while (!before.isEmpty() && !after.isEmpty() && openers.indexOf(before.back()) >= 0
        && openers.indexOf(before.back()) == closers.indexOf(after.front())) {
        before.chop(1);
        after.remove(0, 1);
        trimEnd(before);
        trimStart(after);
    }
    const bool fieldBefore = zone - (hasBefore ? 2 : 1) >= 0;
    const bool fieldAfter = zone + (hasAfter ? 2 : 1) < parts.size();
    if (!fieldAfter && after.isEmpty() && before.endsWith(u',')) {
        before.chop(1);
        trimEnd(before);
    }
    // Between two fields, one blank still has to part them.
    if (fieldBefore && fieldAfter && before.isEmpty() && after.isEmpty())
        before = QStringLiteral(" ");
    parts.remove(zone);
}

// The locale's long time format, reduced to what Qt 6.4 can format and the caption wants.
QString timeOfDayFormat(const QString &longFormat)
{
    QList<FormatPart> parts = splitFormat(longFormat);
    const bool hasAmPm = std::ranges::any_of(parts,
        [](const FormatPart &part) { return part.field && part.text.at(0).toLower() == u'a'; });
    for (qsizetype i = parts.size() - 1; i >= 0; --i) {
        if (!parts.at(i).field)
            continue;
        const QChar letter = parts.at(i).text.at(0);
        if (letter == u't') {
            dropTimeZone(parts, i);
        } else if (letter == u'B' || letter == u'b') {
            // CLDR's day period, which QLocale leaves as a literal letter: the locale's
            // AM/PM text is the nearest it can show.
            if (hasAmPm)
                parts.remove(i);
            else
                parts[i].text = QStringLiteral("AP");
        }
    }
    return joinFormat(parts).trimmed();
}

} // namespace

Locale::Locale(const QLocale &locale)
    : m_locale(locale)
    , m_timeFormat(timeOfDayFormat(m_locale.timeFormat(QLocale::LongFormat)))
{
}

std::optional<double> Locale::toNumber(const std::string &text) const
{
    bool ok = false;
    const double value = m_locale.toDouble(QString::fromStdString(text).trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string Locale::decimalSeparator() const
{
    return m_locale.decimalPoint().toStdString();
}

std::string Locale::timeText(const TimeOfDay &time) const
{
    return m_locale.toString(QTime(time.hour, time.minute, time.second), m_timeFormat)
        .toStdString();
}

TimeOfDay Clock::now() const
{
    const QTime time = QTime::currentTime();
    return { time.hour(), time.minute(), time.second() };
}

} // namespace korvane::qt
