#include "shutdown_arguments.h"

#include "linux/logind/realtime.h"

#include <limits>

namespace korvane {

namespace {

using logind::usecPerSecond;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<std::string_view> separatorAt(
    std::string_view text, std::size_t at, std::string_view decimalSeparator)
{
    for (const std::string_view separator : { std::string_view("."), decimalSeparator }) {
        if (!separator.empty() && text.substr(at, separator.size()) == separator)
            return separator;
    }
    return std::nullopt;
}

// The refused text as it may be echoed on one line of a terminal: no control characters,
// and not the whole of an absurdly long argument.
std::string printable(std::string_view text)
{
    constexpr std::size_t longest = 40;
    std::string result;
    for (const char c : text.substr(0, longest))
        result += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    if (text.size() > longest)
        result += "...";
    return result;
}

Refusal refuseDelay(std::string_view text)
{
    return { "delay \"" + printable(text) + "\" is not a number of seconds from 0 to "
        + std::to_string(maxDelaySeconds) };
}

} // namespace

std::optional<std::int64_t> parseDelayUsec(std::string_view text, std::string_view decimalSeparator)
{
    // Digit by digit rather than strtod: strtod takes blanks, signs, exponents, hex, "inf"
    // and the C locale's separator, and a double would round the microseconds.
    std::size_t at = 0;
    std::int64_t seconds = 0;
    while (at < text.size() && isDigit(text[at])) {
        seconds = seconds * 10 + (text[at] - '0');
        if (seconds > maxDelaySeconds)
            return std::nullopt;
        ++at;
    }
    if (at == 0)
        return std::nullopt;
    if (at == text.size())
        return seconds * usecPerSecond;

    const std::optional<std::string_view> separator = separatorAt(text, at, decimalSeparator);
    if (!separator)
        return std::nullopt;
    at += separator->size();
    if (at == text.size())
        return std::nullopt;

    std::int64_t fraction = 0; // the first six digits, in microseconds
    std::int64_t scale = usecPerSecond / 10;
    bool roundUp = false;
    bool anyFraction = false;
    for (std::size_t digits = 0; at < text.size(); ++at, ++digits) {
        if (!isDigit(text[at]))
            return std::nullopt;
        const int digit = text[at] - '0';
        anyFraction = anyFraction || digit != 0;
        if (digits < 6) {
            fraction += digit * scale;
            scale /= 10;
        } else if (digits == 6) {
            roundUp = digit >= 5;
        }
    }
    if (seconds == maxDelaySeconds && anyFraction)
        return std::nullopt;
    return seconds * usecPerSecond + fraction + (roundUp ? 1 : 0);
}

std::variant<Request, Refusal> parseShutdownArguments(
    const std::vector<std::string> &arguments, std::string_view decimalSeparator)
{
    if (arguments.size() == 1 && arguments[0] == "--help")
        return Request { RequestKind::Help, PowerAction::Shutdown, 0 };
    if (arguments.size() == 1 && arguments[0] == "-a")
        return Request { RequestKind::Cancel, PowerAction::Shutdown, 0 };
    if (arguments.size() == 3 && (arguments[0] == "-s" || arguments[0] == "-r")
        && arguments[1] == "-t") {
        const std::optional<std::int64_t> delay = parseDelayUsec(arguments[2], decimalSeparator);
        if (!delay)
            return refuseDelay(arguments[2]);
        return Request { RequestKind::Schedule,
            arguments[0] == "-s" ? PowerAction::Shutdown : PowerAction::Restart, *delay };
    }
    return Refusal { "expected -s -t SECONDS, -r -t SECONDS, -a or --help" };
}

std::variant<Request, Refusal> parseShutdownArguments(
    int argc, const char *const *argv, std::string_view decimalSeparator)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] ? argv[i] : "");
    return parseShutdownArguments(arguments, decimalSeparator);
}

std::optional<std::uint64_t> scheduleTimeUsec(std::int64_t nowUsec, std::int64_t delayUsec)
{
    if (nowUsec < 0 || delayUsec < 0
        || delayUsec > std::numeric_limits<std::int64_t>::max() - nowUsec)
        return std::nullopt;
    return static_cast<std::uint64_t>(nowUsec + delayUsec);
}

} // namespace korvane
