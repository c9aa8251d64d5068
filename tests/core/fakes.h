#pragma once

#include "core/command_runner.h"
#include "core/file_lookup.h"
#include "core/input_box.h"
#include "core/locale.h"
#include "core/message_box.h"
#include "core/registry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::testing {

// Answers the prompts from a queue; an exhausted queue answers like Cancel.
class FakeInputBox final : public InputBox {
public:
    struct Prompt {
        std::string prompt;
        std::string title;
        std::string defaultText;
    };

    explicit FakeInputBox(std::deque<std::string> answers = {})
        : answers(std::move(answers))
    {
    }

    std::string ask(const std::string &prompt, const std::string &title,
        const std::string &defaultText) override
    {
        prompts.push_back({ prompt, title, defaultText });
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<std::string> answers;
    std::vector<Prompt> prompts;
};

class FakeMessageBox final : public MessageBox {
public:
    void show(const std::string &text) override { shown.push_back(text); }

    std::vector<std::string> shown;
};

class FakeCommandRunner final : public CommandRunner {
public:
    struct Start {
        std::string text;
        WindowStyle style;
        ExitReport onExit;
    };

    bool start(const Command &command, WindowStyle style, ExitReport onExit = {}) override
    {
        attempts.push_back(command);
        // As the real runners: an empty program name never starts.
        if (!startsSucceed || command.program.empty())
            return false;
        std::string line = command.program;
        for (const std::string &argument : command.arguments)
            line += ' ' + argument;
        started.push_back({ line, style, std::move(onExit) });
        return true;
    }

    // The command lines started in `style`: one started otherwise is left out, so that a
    // list compared whole also holds each start to its window style.
    [[nodiscard]] std::vector<std::string> startedIn(WindowStyle style) const
    {
        std::vector<std::string> texts;
        for (const Start &start : started) {
            if (start.style == style)
                texts.push_back(start.text);
        }
        return texts;
    }

    bool startsSucceed = true;
    std::vector<Command> attempts;
    std::vector<Start> started;
};

// A plain decimal locale with a chosen separator; enough to drive the logic.
class FakeLocale final : public Locale {
public:
    explicit FakeLocale(std::string separator = ".")
        : separator(std::move(separator))
    {
    }

    std::optional<double> toNumber(const std::string &text) const override
    {
        std::string plain = text;
        if (const auto at = plain.find(separator); separator != "." && at != std::string::npos)
            plain.replace(at, separator.size(), ".");
        const auto first = plain.find_first_not_of(' ');
        if (first == std::string::npos)
            return std::nullopt;
        const auto last = plain.find_last_not_of(' ');
        plain = plain.substr(first, last - first + 1);
        char *end = nullptr;
        const double value = std::strtod(plain.c_str(), &end);
        if (end != plain.c_str() + plain.size() || !std::isfinite(value))
            return std::nullopt;
        return value;
    }

    std::string decimalSeparator() const override { return separator; }

    std::string timeText(const TimeOfDay &time) const override
    {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
        return text;
    }

    std::string separator;
};

class FakeClock final : public Clock {
public:
    TimeOfDay now() const override { return time; }

    TimeOfDay time;
};

// Keys and values held in memory, answering with the statuses the system gives; it records
// every open so that tests can check the access asked for.
class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = registry::typeString;
        std::string bytes;
    };
    struct Open {
        std::uint32_t root;
        std::string key;
        std::uint32_t options;
        std::uint32_t access;
    };

    // A text value as the system stores it, with its terminating zero.
    static Value text(const std::string &value) { return { registry::typeString, value + '\0' }; }

    static Value dword(std::uint32_t value)
    {
        std::string bytes;
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        return { registry::typeDword, bytes };
    }

    long open(std::uint32_t root, const std::string &keyName, std::uint32_t options,
        std::uint32_t access, RegistryHandle &key) override
    {
        opens.push_back({ root, keyName, options, access });
        if (throwOnOpen)
            throw std::runtime_error("registry unavailable");
        key = 0;
        if (refused.contains(keyName))
            return accessDenied;
        if (root != registry::localMachine || !keys.contains(keyName))
            return registry::fileNotFound;
        key = m_next++;
        m_open[key] = keyName;
        return registry::success;
    }

    long query(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
        unsigned char *data, std::uint32_t &size) override
    {
        const auto handle = m_open.find(key);
        if (handle == m_open.end())
            return registry::invalidHandle;
        const auto &values = keys.at(handle->second);
        const auto value = values.find(valueName);
        if (value == values.end())
            return registry::fileNotFound;
        type = value->second.type;
        const auto needed = static_cast<std::uint32_t>(value->second.bytes.size());
        if (needed > size) {
            size = needed;
            return registry::moreData;
        }
        std::copy_n(value->second.bytes.begin(), needed, data);
        size = needed;
        return registry::success;
    }

    long close(RegistryHandle key) override
    {
        closes.push_back(key);
        return m_open.erase(key) == 1 ? registry::success : registry::invalidHandle;
    }

    // Latin-1 as the "ANSI code page", so that a test can see the decoding happen.
    std::string decodeText(std::string_view bytes) const override
    {
        std::string utf8;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                utf8 += c;
            } else {
                utf8 += static_cast<char>(0xC0 | (byte >> 6));
                utf8 += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        return utf8;
    }

    [[nodiscard]] std::size_t openKeys() const { return m_open.size(); }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> refused;
    bool throwOnOpen = false;
    std::vector<Open> opens;
    std::vector<RegistryHandle> closes;

private:
    // ERROR_ACCESS_DENIED: what Windows answers a standard user who asks for more than
    // HKEY_LOCAL_MACHINE allows.
    static constexpr long accessDenied = 5;

    std::map<RegistryHandle, std::string> m_open;
    RegistryHandle m_next = 0x100;
};

class FakeFileLookup final : public FileLookup {
public:
    bool isOrdinaryFile(const std::string &path) const override
    {
        asked.push_back(path);
        return files.contains(path);
    }

    std::set<std::string> files;
    mutable std::vector<std::string> asked;
};

} // namespace korvane::testing
