#pragma once

#include "platform/command_runner.h"
#include "platform/input_box.h"
#include "platform/locale.h"
#include "platform/message_box.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <optional>
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
    };

    bool start(const Command &command, WindowStyle style) override
    {
        attempts.push_back(command);
        if (!startsSucceed)
            return false;
        started.push_back({ command.text(), style });
        return true;
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

} // namespace korvane::testing
