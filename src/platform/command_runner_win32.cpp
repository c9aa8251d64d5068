#include "command_runner_win32.h"

#include "text_win32.h"

#include <windows.h>

namespace korvane {

namespace {

// The quoting that CommandLineToArgvW and the C runtime undo.
void appendQuoted(std::wstring &line, const std::wstring &argument, bool always = false)
{
    if (!always && !argument.empty()
        && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// True when the program is named by a path rather than a bare name for the system's search.
bool namesPath(const std::string &program)
{
    return program.find_first_of("\\/:") != std::string::npos;
}

} // namespace

std::wstring windowsCommandLine(const Command &command)
{
    std::wstring line;
    const std::wstring program = widen(command.program);
    if (namesPath(command.program))
        appendQuoted(line, program, true);
    else
        line = program;
    for (const std::string &argument : command.arguments) {
        line += L' ';
        appendQuoted(line, widen(argument));
    }
    return line;
}

bool Win32CommandRunner::start(const Command &command, WindowStyle style, ExitReport /*onExit*/)
{
    if (command.program.empty())
        return false;

    // A path goes in as the application name as well, so that "C:\Program Files\x.exe"
    // can never start "C:\Program.exe".
    const std::wstring application
        = namesPath(command.program) ? widen(command.program) : std::wstring();
    std::wstring line = windowsCommandLine(command);

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = style == WindowStyle::Hidden ? SW_HIDE : SW_SHOWNORMAL;

    PROCESS_INFORMATION process {};
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
            nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;

    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::unique_ptr<CommandRunner> makeNativeCommandRunner()
{
    return std::make_unique<Win32CommandRunner>();
}

} // namespace korvane
