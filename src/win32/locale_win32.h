#pragma once

#include "core/locale.h"
#include "core/locale_number.h"

#include <string>

namespace korvane::win32 {

// The user's locale as Windows keeps it (or a named one, for tests): its decimal and group
// separators and signs, and its long time format.
class Locale final : public korvane::Locale {
public:
    // An empty name is the user's default locale; otherwise a name such as "de-DE".
    explicit Locale(std::wstring name = {});

    [[nodiscard]] std::optional<double> toNumber(const std::string &text) const override;
    [[nodiscard]] std::string decimalSeparator() const override;
    [[nodiscard]] std::string timeText(const TimeOfDay &time) const override;

private:
    [[nodiscard]] const wchar_t *localeName() const;

    std::wstring m_name;
    NumberSymbols m_symbols;
    std::wstring m_decimal;
};

class Clock final : public korvane::Clock {
public:
    [[nodiscard]] TimeOfDay now() const override;
};

} // namespace korvane::win32
