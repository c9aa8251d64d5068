#include "locale_win32.h"

#include "core/utf.h"

#include "windows_api.h"

namespace korvane::win32 {

namespace {

std::wstring localeInfo(const wchar_t *locale, LCTYPE type)
{
    wchar_t value[16] = {};
    const int length = GetLocaleInfoEx(locale, type, value, 16);
    return length > 1 ? std::wstring(value, static_cast<std::size_t>(length - 1)) : std::wstring();
}

// A symbol of one code unit; longer ones (none in Windows' tables for these) keep the
// C locale's.
char16_t symbol(const std::wstring &value, char16_t fallback)
{
    return value.size() == 1 ? static_cast<char16_t>(value.front()) : fallback;
}

} // namespace

Locale::Locale(std::wstring name)
    : m_name(std::move(name))
{
    m_decimal = localeInfo(localeName(), LOCALE_SDECIMAL);
    if (m_decimal.empty())
        m_decimal = L".";
    m_symbols.decimal = symbol(m_decimal, u'.');
    m_symbols.group = symbol(localeInfo(localeName(), LOCALE_STHOUSAND), u',');
    m_symbols.minus = symbol(localeInfo(localeName(), LOCALE_SNEGATIVESIGN), u'-');
    m_symbols.plus = symbol(localeInfo(localeName(), LOCALE_SPOSITIVESIGN), u'+');
}

const wchar_t *Locale::localeName() const
{
    return m_name.empty() ? LOCALE_NAME_USER_DEFAULT : m_name.c_str();
}

std::optional<double> Locale::toNumber(const std::string &text) const
{
    const std::wstring wide = widen(text);
    return parseLocaleNumber(std::u16string(wide.begin(), wide.end()), m_symbols);
}

std::string Locale::decimalSeparator() const
{
    return narrow(m_decimal);
}

std::string Locale::timeText(const TimeOfDay &time) const
{
    SYSTEMTIME when {};
    when.wYear = 2000;
    when.wMonth = 1;
    when.wDay = 1;
    when.wHour = static_cast<WORD>(time.hour);
    when.wMinute = static_cast<WORD>(time.minute);
    when.wSecond = static_cast<WORD>(time.second);
    // No format given: the locale's long time format, which on Windows has no time zone.
    wchar_t text[64] = {};
    if (GetTimeFormatEx(localeName(), 0, &when, nullptr, text, 64) == 0)
        return {};
    return narrow(text);
}

TimeOfDay Clock::now() const
{
    SYSTEMTIME local {};
    GetLocalTime(&local);
    return { local.wHour, local.wMinute, local.wSecond };
}

} // namespace korvane::win32
