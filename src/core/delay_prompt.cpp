#include "delay_prompt.h"

#include "input_box.h"
#include "locale.h"
#include "message_box.h"

namespace korvane {

namespace {

struct PromptTexts {
    const char *title;
    const char *prompt;
};

PromptTexts textsFor(PowerAction action)
{
    if (action == PowerAction::Restart)
        return { "重启倒计时(分)", "请输入计算机重启倒计时分钟" };
    return { "关机倒计时(分)", "请输入计算机关机倒计时分钟" };
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
    const std::string defaultText = "10";

    std::string entry = inputBox.ask(texts.prompt, texts.title, defaultText);
    if (isGoodEntry(entry, locale))
        return entry;

    messageBox.show("时间输入错误，请重新输入");
    return inputBox.ask(texts.prompt, texts.title, defaultText);
}

} // namespace korvane
