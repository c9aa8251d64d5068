#include "command_runner_posix.h"

#include "trace.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

extern char **environ;

namespace korvane {

PosixCommandRunner::PosixCommandRunner(std::string helperFolder)
    : m_helperFolder(std::move(helperFolder))
{
}

std::string PosixCommandRunner::defaultHelperFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return (self.parent_path().parent_path() / "libexec" / "korvane").string();
}

bool PosixCommandRunner::start(
    const Command &command, WindowStyle /*style: no windows here*/, ExitReport /*onExit*/)
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

    // posix_spawn, not posix_spawnp: the path is already decided and PATH must not be
    // consulted. glibc reports a failed exec as the return value.
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    traceMark("started");

    // Nobody waits for the program, but someone must reap it or it stays a zombie.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    }).detach();
    return true;
}

std::unique_ptr<CommandRunner> makeNativeCommandRunner()
{
    return std::make_unique<PosixCommandRunner>(PosixCommandRunner::defaultHelperFolder());
}

} // namespace korvane
