#pragma once

#include "core/locale.h"

#include <QLocale>

namespace korvane::qt {

class Locale final : public korvane::Locale {
public:
    explicit Locale(const QLocale &locale = QLocale::system());

    [[nodiscard]] std::optional<double> toNumber(const std::string &text) const override;
    [[nodiscard]] std::string decimalSeparator() const override;
    [[nodiscard]] std::string timeText(const TimeOfDay &time) const override;

private:
    QLocale m_locale;
    QString m_timeFormat;
};

class Clock final : public korvane::Clock {
public:
    [[nodiscard]] TimeOfDay now() const override;
};

} // namespace korvane::qt
