#include "delay_prompt.h"

#include "input_box.h"
#include "locale.h"
#include "message_box.h"
#include "texts.h"

namespace korvane {

namespace {

struct PromptTexts {
    std::string prompt;
    std::string title;
};

PromptTexts textsFor(PowerAction action)
{
    if (action == PowerAction::Restart)
        return { std::string(texts::restartPrompt), std::string(texts::restartPromptTitle) };
    return { std::string(texts::shutdownPrompt), std::string(texts::shutdownPromptTitle) };
}

bool isGoodEntry(const std::string &entry, const Locale &locale)
{
    const std::optional<double> minutes = locale.toNumber(entry);
    return minutes && *minutes >= smallestDelayMinutes && *minutes <= largestDelayMinutes;
}

} // namespace

std::string AskDelay(
    PowerAction action, InputBox &inputBox, MessageBox &messageBox, const Locale &locale)
{
    const PromptTexts texts = textsFor(action);
    const std::string defaultText(texts::defaultDelay);

    std::string entry = inputBox.ask(texts.prompt, texts.title, defaultText);
    if (isGoodEntry(entry, locale))
        return entry;

    messageBox.show(std::string(texts::badDelay));
    return inputBox.ask(texts.prompt, texts.title, defaultText);
}

} // namespace korvane
