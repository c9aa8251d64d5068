// Measures one program from the outside for bench/run.sh:
//   korvane_bench_probe launch SETTLE_S IDLE_S program [args...]
//       start-up to the first mapped window, idle CPU and wake-ups, peak resident memory
//   korvane_bench_probe run N program [args...]
//       median and slowest time from spawn to exit over N runs
//   korvane_bench_probe children PID
//       live and zombie children, threads
// Figures go to stdout as key=value pairs, one line.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const std::string &why)
{
    std::fprintf(stderr, "korvane_bench_probe: %s\n", why.c_str());
    std::exit(1);
}

pid_t spawn(char **argv)
{
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
        fail(std::string("cannot start ") + argv[0]);
    return pid;
}

// The fields after "pid (comm)", which may itself hold blanks and parentheses.
std::vector<std::string> statFields(const fs::path &stat)
{
    std::ifstream in(stat);
    std::string line;
    std::getline(in, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream rest(line.substr(close + 1));
    std::vector<std::string> fields;
    for (std::string field; rest >> field;)
        fields.push_back(field);
    return fields;
}

long statusValue(const fs::path &status, const std::string &key)
{
    std::ifstream in(status);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ":", 0) == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
    return -1;
}

struct Sample {
    Clock::time_point when;
    long cpuTicks = 0;
    double cpuNs = 0;
    long switches = 0;
};

// utime + stime of the whole process, which counts in clock ticks (10 ms); the scheduler's
// run time of its threads in nanoseconds, which sees a 0.3 ms tick; context switches summed
// over its threads, each one a wake-up of some thread.
Sample sample(pid_t pid)
{
    Sample s;
    s.when = Clock::now();
    const fs::path proc = "/proc/" + std::to_string(pid);
    const std::vector<std::string> fields = statFields(proc / "stat");
    if (fields.size() < 13)
        fail("process ended early");
    s.cpuTicks = std::stol(fields[11]) + std::stol(fields[12]);
    std::error_code error;
    for (const auto &task : fs::directory_iterator(proc / "task", error)) {
        const long voluntary = statusValue(task.path() / "status", "voluntary_ctxt_switches");
        const long forced = statusValue(task.path() / "status", "nonvoluntary_ctxt_switches");
        s.switches += std::max(0L, voluntary) + std::max(0L, forced);
        std::ifstream schedstat(task.path() / "schedstat");
        double runNs = 0;
        if (schedstat >> runNs)
            s.cpuNs += runNs;
    }
    return s;
}

long windowPid(Display *display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
            &count, &after, &data)
            == Success
        && data && count == 1 && format == 32)
        pid = static_cast<long>(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

int launch(double settleSeconds, double idleSeconds, char **argv)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        fail("no X display");
    const Window root = DefaultRootWindow(display);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    // Listening before the program starts, so its first map cannot be missed.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(argv);
    double mapMs = -1;
    while (mapMs < 0) {
        if (XPending(display) == 0) {
            pollfd fd { ConnectionNumber(display), POLLIN, 0 };
            if (millisecondsSince(start) > 20000 || poll(&fd, 1, 100) < 0)
                fail("no window mapped within 20 s");
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                fail("program ended before it mapped a window");
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect
            && windowPid(display, event.xmap.window, pidAtom) == pid)
            mapMs = millisecondsSince(start);
    }
    XCloseDisplay(display);

    std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
    const Sample before = sample(pid);
    std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
    const Sample after = sample(pid);
    const fs::path status = "/proc/" + std::to_string(pid) + "/status";
    const long peakKb = statusValue(status, "VmHWM");
    const long threads = statusValue(status, "Threads");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);

    const double wall = std::chrono::duration<double>(after.when - before.when).count();
    const double cpuSeconds
        = double(after.cpuTicks - before.cpuTicks) / double(sysconf(_SC_CLK_TCK));
    std::printf("map_ms=%.1f hwm_kb=%ld cpu_pct=%.3f sched_cpu_pct=%.4f wakeups_per_s=%.2f "
                "threads=%ld\n",
        mapMs, peakKb, 100.0 * cpuSeconds / wall, 100.0 * (after.cpuNs - before.cpuNs) / 1e9 / wall,
        double(after.switches - before.switches) / wall, threads);
    return 0;
}

int runMany(int count, char **argv)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const Clock::time_point start = Clock::now();
        const pid_t pid = spawn(argv);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
        times.push_back(millisecondsSince(start));
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            fail(std::string(argv[0]) + " failed");
    }
    std::sort(times.begin(), times.end());
    std::printf("median_ms=%.2f max_ms=%.2f\n", times[times.size() / 2], times.back());
    return 0;
}

int children(long parent)
{
    int live = 0;
    int zombies = 0;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        const std::vector<std::string> fields = statFields(entry.path() / "stat");
        if (fields.size() < 2 || std::stol(fields[1]) != parent)
            continue;
        ++(fields[0] == "Z" ? zombies : live);
    }
    const long threads = statusValue("/proc/" + std::to_string(parent) + "/status", "Threads");
    std::printf("children=%d zombies=%d threads=%ld\n", live, zombies, threads);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "launch" && argc > 4)
        return launch(std::atof(argv[2]), std::atof(argv[3]), argv + 4);
    if (mode == "run" && argc > 3)
        return runMany(std::max(1, std::atoi(argv[2])), argv + 3);
    if (mode == "children" && argc == 3)
        return children(std::atol(argv[2]));
    std::fprintf(stderr,
        "usage: korvane_bench_probe launch SETTLE_S IDLE_S program [args...]\n"
        "       korvane_bench_probe run N program [args...]\n"
        "       korvane_bench_probe children PID\n");
    return 2;
}
