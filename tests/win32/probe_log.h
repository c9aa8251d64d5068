#pragma once

// What the probe program (korvane_probe.cpp) logged about each start, for the Windows tests.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace korvane::testing {

struct ProbeRun {
    std::string module;
    unsigned show = 0;
    unsigned long flags = 0;
    std::string commandLine;
};

inline std::filesystem::path ownFolder()
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return std::filesystem::path(module).parent_path();
}

// Every probe started while this exists appends a line to its log, named in the environment
// that the probes inherit.
class ProbeLog {
public:
    explicit ProbeLog(const std::filesystem::path &file)
        : m_file(file)
    {
        SetEnvironmentVariableW(L"KORVANE_PROBE_LOG", file.wstring().c_str());
    }

    // Waits for at least `count` runs, patiently (a loaded machine starts programs slowly);
    // returns what is there by then.
    [[nodiscard]] std::vector<ProbeRun> runs(std::size_t count, int patienceMs = 30000) const
    {
        std::vector<ProbeRun> result;
        for (int waited = 0;; waited += 10) {
            result = read();
            if (result.size() >= count || waited >= patienceMs)
                return result;
            Sleep(10);
        }
    }

private:
    std::vector<ProbeRun> read() const
    {
        std::vector<ProbeRun> result;
        std::ifstream in(m_file);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            ProbeRun run;
            std::string show, flags;
            std::getline(fields, run.module, '|');
            std::getline(fields, show, '|');
            std::getline(fields, flags, '|');
            std::getline(fields, run.commandLine);
            run.show = static_cast<unsigned>(std::stoul(show));
            run.flags = std::stoul(flags);
            result.push_back(run);
        }
        return result;
    }

    std::filesystem::path m_file;
};

} // namespace korvane::testing
