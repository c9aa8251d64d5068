#include "command_runner_win32.h"

#include "core/ui_thread.h"
#include "core/utf.h"

#include <windows.h>

#include <map>

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

// A bare name is looked up in the system folder only: the usual search tries the program's
// own folder and the current one first, where any downloaded shutdown.exe may lie. Empty when
// the system folder is unknown.
std::wstring systemProgram(const std::string &name)
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring path = std::wstring(folder, length) + L'\\' + widen(name);
    if (name.find('.') == std::string::npos)
        path += L".exe";
    return path;
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

// One started program whose end is being waited for. It stays where it is until its wait is
// unregistered, so the pool's callback can read it without a lock.
struct ProcessWaiter {
    HANDLE process = nullptr;
    HANDLE wait = nullptr;
    ExitReport onExit;
    UiThread *uiThread = nullptr;
    std::weak_ptr<Win32RunnerWaits> waits;
    unsigned long id = 0;
};

// Touched on the user-interface thread only.
struct Win32RunnerWaits {
    std::map<unsigned long, std::unique_ptr<ProcessWaiter>> waiting;
    unsigned long nextId = 1;
};

namespace {

void release(ProcessWaiter &waiter)
{
    // Waits for a callback that is running right now, so nothing reads the waiter later.
    if (waiter.wait)
        UnregisterWaitEx(waiter.wait, INVALID_HANDLE_VALUE);
    CloseHandle(waiter.process);
}

void CALLBACK processEnded(void *context, BOOLEAN /*timedOut: never, the wait is INFINITE*/)
{
    const ProcessWaiter &waiter = *static_cast<const ProcessWaiter *>(context);
    DWORD exitCode = 0;
    GetExitCodeProcess(waiter.process, &exitCode);
    waiter.uiThread->post(
        [waits = waiter.waits, id = waiter.id, code = static_cast<int>(exitCode)] {
            // The runner may have gone meanwhile: then there is no one to tell.
            const auto owner = waits.lock();
            if (!owner)
                return;
            const auto found = owner->waiting.find(id);
            if (found == owner->waiting.end())
                return;
            const std::unique_ptr<ProcessWaiter> ended = std::move(found->second);
            owner->waiting.erase(found);
            release(*ended);
            ended->onExit(code);
        });
}

} // namespace

Win32CommandRunner::Win32CommandRunner(UiThread &uiThread)
    : m_uiThread(uiThread)
    , m_waits(std::make_shared<Win32RunnerWaits>())
{
}

Win32CommandRunner::~Win32CommandRunner()
{
    // The programs themselves run on; only our waits and handles end here.
    for (auto &[id, waiter] : m_waits->waiting)
        release(*waiter);
}

bool Win32CommandRunner::start(const Command &command, WindowStyle style, ExitReport onExit)
{
    if (command.program.empty())
        return false;

    // The path goes in as the application name, so that "C:\Program Files\x.exe" can never
    // start "C:\Program.exe" and no search takes place.
    const std::wstring application
        = namesPath(command.program) ? widen(command.program) : systemProgram(command.program);
    if (application.empty())
        return false;
    std::wstring line = windowsCommandLine(command);

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = style == WindowStyle::Hidden ? SW_HIDE : SW_SHOWNORMAL;

    PROCESS_INFORMATION process {};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
            nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);

    if (!onExit) {
        CloseHandle(process.hProcess);
        return true;
    }

    auto waiter = std::make_unique<ProcessWaiter>();
    waiter->process = process.hProcess;
    waiter->onExit = std::move(onExit);
    waiter->uiThread = &m_uiThread;
    waiter->waits = m_waits;
    waiter->id = m_waits->nextId++;
    if (!RegisterWaitForSingleObject(&waiter->wait, waiter->process, processEnded, waiter.get(),
            INFINITE, WT_EXECUTEONLYONCE)) {
        // Started all the same; only its end goes unreported.
        waiter->wait = nullptr;
        release(*waiter);
        return true;
    }
    m_waits->waiting.emplace(waiter->id, std::move(waiter));
    return true;
}

std::unique_ptr<CommandRunner> makeNativeCommandRunner(UiThread &uiThread)
{
    return std::make_unique<Win32CommandRunner>(uiThread);
}

} // namespace korvane
