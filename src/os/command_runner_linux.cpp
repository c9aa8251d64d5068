#include "command_runner_linux.h"

#include "core/trace.h"
#include "core/ui_thread.h"

#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

extern char **environ;

namespace korvane {

// Waits for every started program on one thread, reaps it and posts its exit code to the
// user-interface thread. Nothing here can fail once a program has started: its entry is
// allocated before the spawn, and a program whose pidfd cannot be opened is looked at on a
// short timer instead.
class LinuxCommandRunner::Reaper {
public:
    struct Child {
        pid_t pid = 0;
        int pidfd = -1;
        ExitReport onExit;
    };
    using Entry = std::list<Child>;
    struct Report {
        ExitReport onExit;
        int exitCode;
    };

    // Throws std::system_error when the wake-up fd or the thread cannot be made.
    explicit Reaper(UiThread &uiThread)
        : m_uiThread(uiThread)
        , m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        if (m_wake < 0)
            throw std::system_error(errno, std::generic_category(), "eventfd");
        try {
            m_thread = std::thread(&Reaper::run, this);
        } catch (...) {
            close(m_wake);
            throw;
        }
    }

    // Does not wait for the programs still running: they are left alone, and never reported.
    ~Reaper()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        wake();
        m_thread.join();
        // Those that have already ended need not stay zombies while the process goes on.
        std::vector<Report> unreported;
        reapEnded(unreported);
        for (const Child &child : m_children) {
            if (child.pidfd >= 0)
                close(child.pidfd);
        }
        close(m_wake);
    }

    Reaper(const Reaper &) = delete;
    Reaper &operator=(const Reaper &) = delete;

    // Takes over a started program, with its entry made before it was started.
    void watch(pid_t pid, Entry &entry) noexcept
    {
        Child &child = entry.front();
        child.pid = pid;
        // A program that has already ended still has a pidfd, readable at once. The system
        // call itself: glibc 2.36's <sys/pidfd.h> lacks extern "C", so C++ cannot link to it.
        child.pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        {
            const std::lock_guard lock(m_mutex);
            m_children.splice(m_children.end(), entry);
        }
        wake();
    }

private:
    // How often a program without a pidfd (kernel before 5.3, or no fd left) is looked at.
    static constexpr int fallbackPollMs = 100;

    void wake() noexcept
    {
        const std::uint64_t one = 1;
        // Fails only when the counter is full, and then the reaper is awake anyway.
        [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one);
    }

    void run()
    {
        std::vector<pollfd> fds;
        std::vector<Report> reports;
        while (true) {
            int timeout = -1;
            fds.assign(1, pollfd { m_wake, POLLIN, 0 });
            {
                const std::lock_guard lock(m_mutex);
                if (m_stopping)
                    return;
                for (const Child &child : m_children) {
                    if (child.pidfd >= 0)
                        fds.push_back({ child.pidfd, POLLIN, 0 });
                    else
                        timeout = fallbackPollMs;
                }
            }
            if (poll(fds.data(), fds.size(), timeout) < 0) {
                // Not expected with these few fds; look at the programs on the timer instead.
                if (errno != EINTR)
                    std::this_thread::sleep_for(std::chrono::milliseconds(fallbackPollMs));
            } else if (fds.front().revents & POLLIN) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t drained = read(m_wake, &count, sizeof count);
            }
            reapEnded(reports);
            const std::weak_ptr<const bool> alive = m_alive;
            for (Report &report : reports) {
                // The runner may be gone by the time the task runs; its reports go with it.
                m_uiThread.post([alive, report = std::move(report)] {
                    if (!alive.expired())
                        report.onExit(report.exitCode);
                });
            }
            reports.clear();
        }
    }

    // Reaps each watched program that has ended; collects the reports to post.
    void reapEnded(std::vector<Report> &reports)
    {
        const std::lock_guard lock(m_mutex);
        for (auto child = m_children.begin(); child != m_children.end();) {
            int status = 0;
            const pid_t reaped = waitpid(child->pid, &status, WNOHANG);
            if (reaped == 0 || (reaped < 0 && errno == EINTR)) {
                ++child;
                continue;
            }
            // ECHILD: someone else reaped it (SIGCHLD ignored), and its outcome is unknown.
            if (reaped == child->pid && child->onExit) {
                const int exitCode
                    = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                reports.push_back({ std::move(child->onExit), exitCode });
            }
            if (child->pidfd >= 0)
                close(child->pidfd);
            child = m_children.erase(child);
        }
    }

    UiThread &m_uiThread;
    const int m_wake;
    std::mutex m_mutex;
    std::list<Child> m_children;
    bool m_stopping = false;
    // Expires with the reaper, on the user-interface thread, where the posted tasks run.
    const std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
    std::thread m_thread;
};

LinuxCommandRunner::LinuxCommandRunner(std::string helperFolder, UiThread &uiThread)
    : m_helperFolder(std::move(helperFolder))
    , m_uiThread(uiThread)
{
}

LinuxCommandRunner::~LinuxCommandRunner() = default;

std::string LinuxCommandRunner::defaultHelperFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return (self.parent_path().parent_path() / "libexec" / "korvane").string();
}

bool LinuxCommandRunner::start(
    const Command &command, WindowStyle /*style: no windows here*/, ExitReport onExit)
{
    if (command.program.empty())
        return false;

    std::string path = command.program;
    if (path.find('/') == std::string::npos) {
        if (m_helperFolder.empty())
            return false;
        path = m_helperFolder + '/' + path;
    }

    std::vector<char *> argv;
    argv.push_back(path.data());
    std::vector<std::string> arguments = command.arguments;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // Whoever starts a program must be able to reap it: make the reaper and the program's
    // entry first, so that what can fail fails before anything has started.
    if (!m_reaper) {
        try {
            m_reaper = std::make_unique<Reaper>(m_uiThread);
        } catch (const std::system_error &) {
            return false;
        }
    }
    Reaper::Entry entry(1);
    entry.front().onExit = std::move(onExit);

    // posix_spawn, not posix_spawnp: the path is already decided and PATH must not be
    // consulted. glibc reports a failed exec as the return value.
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    traceMark("started");

    m_reaper->watch(pid, entry);
    return true;
}

std::unique_ptr<CommandRunner> makeNativeCommandRunner(UiThread &uiThread)
{
    return std::make_unique<LinuxCommandRunner>(
        LinuxCommandRunner::defaultHelperFolder(), uiThread);
}

} // namespace korvane
