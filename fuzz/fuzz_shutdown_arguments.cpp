// Any command line for the Linux shutdown helper: it must either be refused with one short
// line, or be exactly one of the forms it takes, with a delay that agrees with the text.
#include "linux/shutdown/shutdown_arguments.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The plain "digits[.digits]" case, read independently of the parser.
void checkAgainstStrtod(const std::string &text, std::int64_t usec)
{
    if (text.find_first_not_of("0123456789.") != std::string::npos || text.size() > 30)
        return;
    const double seconds = std::strtod(text.c_str(), nullptr);
    require(std::fabs(seconds * 1e6 - double(usec)) <= 1.0 + seconds * 1e-9);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const char *const separators[] = { ".", ",", "\xd9\xab" }; // U+066B, Arabic
    const std::string separator = separators[data[0] % 3];

    // Arguments are separated by NUL bytes, as they are in argv.
    std::vector<std::string> arguments(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += char(data[i]);
    }

    const auto result = korvane::parseShutdownArguments(arguments, separator);
    if (const auto *refusal = std::get_if<korvane::Refusal>(&result)) {
        require(!refusal->message.empty());
        require(refusal->message.find('\n') == std::string::npos);
        require(refusal->message.size() < 400);
        return 0;
    }

    const auto &request = std::get<korvane::Request>(result);
    switch (request.what) {
    case korvane::RequestKind::Cancel:
        require(arguments == std::vector<std::string> { "-a" });
        break;
    case korvane::RequestKind::Help:
        require(arguments == std::vector<std::string> { "--help" });
        break;
    case korvane::RequestKind::Schedule:
        require(arguments.size() == 3);
        require(arguments[0] == (request.action == korvane::PowerAction::Shutdown ? "-s" : "-r"));
        require(arguments[1] == "-t");
        require(request.delayUsec >= 0);
        require(request.delayUsec <= korvane::maxDelaySeconds * 1000000);
        require(korvane::parseDelayUsec(arguments[2], separator) == request.delayUsec);
        checkAgainstStrtod(arguments[2], request.delayUsec);
        require(korvane::scheduleTimeUsec(1'800'000'000'000'000, request.delayUsec).has_value());
        break;
    }
    return 0;
}
