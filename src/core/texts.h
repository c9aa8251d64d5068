#pragma once

#include <string_view>

// Every text the user sees, UTF-8; "&" marks an access key. The program's name and version
// are in app_record.h beside this file.
namespace korvane::texts {

// Buttons of every input and message box.
inline constexpr std::string_view ok = "确定";
inline constexpr std::string_view cancel = "取消";

// The main window.
inline constexpr std::string_view loading = "程序加载中...";
inline constexpr std::string_view clockPrefix = "当前时间: ";
inline constexpr std::string_view frame1 = "功能选择";
inline constexpr std::string_view command1 = "关闭计算机(&C)";
inline constexpr std::string_view command2 = "重启计算机(&D)";
inline constexpr std::string_view command3 = "取消操作(&D)";
inline constexpr std::string_view command4 = "退出程序(&F)";
inline constexpr std::string_view command5 = "关于本程序(&Q)";
inline constexpr std::string_view command6 = "赞助我们(&G)";
// One line: the publisher, its rights statement and a contact number (a placeholder, not in
// service).
inline constexpr std::string_view sponsorNotice
    = "Korvane 开发组 版权所有，保留一切权利。赞助与合作请致电：000-0000-0000（示例号码）";

// The delay prompt.
inline constexpr std::string_view shutdownPromptTitle = "关机倒计时(分)";
inline constexpr std::string_view shutdownPrompt = "请输入计算机关机倒计时分钟";
inline constexpr std::string_view restartPromptTitle = "重启倒计时(分)";
inline constexpr std::string_view restartPrompt = "请输入计算机重启倒计时分钟";
inline constexpr std::string_view defaultDelay = "10";
inline constexpr std::string_view badDelay = "时间输入错误，请重新输入";

// What the system did not carry out, or could not be asked.
inline constexpr std::string_view shutdownNotStarted = "无法启动 shutdown 程序";
inline constexpr std::string_view shutdownRefused = "系统拒绝了关闭计算机的请求";
inline constexpr std::string_view restartRefused = "系统拒绝了重启计算机的请求";
inline constexpr std::string_view nothingToCancel = "系统中没有待取消的关闭/重启计算机操作";
inline constexpr std::string_view cancelFailed = "系统未能取消关闭/重启计算机";
inline constexpr std::string_view cancelUnscheduled = "请先设置关闭/重启计算机后再取消操作!";

// The About window.
inline constexpr std::string_view aboutDesignCaption = "关于我的应用程序";
inline constexpr std::string_view aboutCaptionPrefix = "关于 ";
inline constexpr std::string_view versionPrefix = "版本 ";
inline constexpr std::string_view aboutDescription
    = "可以定时对计算机进行重启、关机操作。\n祝您使用愉快！korvane.example.org";
inline constexpr std::string_view aboutDisclaimer
    = "本程序受著作权法保护。未经 Korvane 开发组许可，不得复制、修改或传播本程序。";
inline constexpr std::string_view cmdSysInfo = "系统信息(&S)...";
inline constexpr std::string_view sysInfoUnavailable = "此时系统信息不可用";

// The Linux desktop notifier. Its notice reads noticeBefore + moment + " " + the action; a
// warning reads tenMinutesBefore or oneMinuteBefore + the action + saveYourWork.
inline constexpr std::string_view notificationSummary = "Korvane";
inline constexpr std::string_view actionPowerOff = "关闭";
inline constexpr std::string_view actionRestart = "重新启动";
inline constexpr std::string_view noticeBefore = "计算机将于 ";
inline constexpr std::string_view tenMinutesBefore = "计算机将在 10 分钟后";
inline constexpr std::string_view oneMinuteBefore = "计算机将在 1 分钟后";
inline constexpr std::string_view saveYourWork = "，请保存您的工作。";
inline constexpr std::string_view postponeButton = "推迟 10 分钟";

} // namespace korvane::texts
