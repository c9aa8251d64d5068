#include "registry_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace korvane {

namespace {

constexpr std::array<std::string_view, 4> tools { "kinfocenter", "hardinfo2", "hardinfo",
    "lshw-gtk" };

// Key and value names are case-insensitive, as on Windows.
bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

bool isExecutableFile(const std::string &path)
{
    struct stat status { };
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
        && access(path.c_str(), X_OK) == 0;
}

// The first of the known tools found in an absolute folder of `searchPath`; empty when
// there is none.
std::string findTool(const std::string &searchPath)
{
    for (const std::string_view tool : tools) {
        std::size_t start = 0;
        while (start <= searchPath.size()) {
            const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
            const std::string folder = searchPath.substr(start, end - start);
            start = end + 1;
            // Empty and relative entries would mean the current folder: never start a
            // program from there.
            if (folder.empty() || folder.front() != '/')
                continue;
            std::string path = folder;
            if (path.back() != '/')
                path += '/';
            path += tool;
            if (isExecutableFile(path))
                return path;
        }
    }
    return {};
}

} // namespace

PosixRegistry::PosixRegistry(std::string searchPath)
    : m_searchPath(std::move(searchPath))
{
}

long PosixRegistry::open(std::uint32_t root, const std::string &keyName, std::uint32_t /*options*/,
    std::uint32_t /*access*/, RegistryHandle &key)
{
    key = 0;
    if (root != registry::localMachine || !sameName(keyName, registry::sysInfoToolKey))
        return registry::fileNotFound;
    std::string tool = findTool(m_searchPath);
    if (tool.empty())
        return registry::fileNotFound;
    key = m_next++;
    m_open.emplace(key, std::move(tool));
    return registry::success;
}

long PosixRegistry::query(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
    unsigned char *data, std::uint32_t &size)
{
    const auto found = m_open.find(key);
    if (found == m_open.end())
        return registry::invalidHandle;
    if (!sameName(valueName, registry::sysInfoToolValue))
        return registry::fileNotFound;

    // Stored as text with its terminating zero, as the system stores REG_SZ.
    const std::string &path = found->second;
    const auto needed = static_cast<std::uint32_t>(path.size() + 1);
    type = registry::typeString;
    if (data == nullptr || size < needed) {
        size = needed;
        return data == nullptr ? registry::success : registry::moreData;
    }
    std::memcpy(data, path.c_str(), needed);
    size = needed;
    return registry::success;
}

long PosixRegistry::close(RegistryHandle key)
{
    return m_open.erase(key) == 1 ? registry::success : registry::invalidHandle;
}

std::string PosixRegistry::decodeText(std::string_view bytes) const
{
    // The text was made from a UTF-8 path already.
    return std::string(bytes);
}

std::unique_ptr<Registry> makeNativeRegistry()
{
    const char *path = std::getenv("PATH");
    return std::make_unique<PosixRegistry>(path ? path : "");
}

} // namespace korvane
