#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace korvane {

// An open key as the registry hands it out; 0 is no key.
using RegistryHandle = std::uintptr_t;

// The registry's own numbers, under names that do not clash with the macros of <windows.h>.
namespace registry {
inline constexpr std::uint32_t localMachine = 0x80000002;
inline constexpr std::uint32_t keyRead = 0x20019;
inline constexpr std::uint32_t typeString = 1;
inline constexpr std::uint32_t typeDword = 4;
inline constexpr long success = 0;
inline constexpr long fileNotFound = 2;
inline constexpr long invalidHandle = 6;
inline constexpr long moreData = 234;

// Where the system information tool's full path is kept; the Linux replacement (no
// registry there) answers this one value.
inline constexpr const char *sysInfoToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char *sysInfoToolValue = "PATH";
} // namespace registry

// The registry's 8-bit interface: statuses, type codes and raw bytes exactly as the system
// gives them, so that the reader above it decides what they mean.
class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA: registry::success and a handle, or the system's status.
    [[nodiscard]] virtual long open(std::uint32_t root, const std::string &keyName,
        std::uint32_t options, std::uint32_t access, RegistryHandle &key)
        = 0;

    // RegQueryValueExA: `size` is the buffer's capacity on entry and the data's size on
    // return; data that does not fit gives registry::moreData.
    [[nodiscard]] virtual long query(RegistryHandle key, const std::string &valueName,
        std::uint32_t &type, unsigned char *data, std::uint32_t &size)
        = 0;

    // RegCloseKey.
    virtual long close(RegistryHandle key) = 0;

    // Text data comes back in the system's ANSI code page; this makes UTF-8 of it.
    [[nodiscard]] virtual std::string decodeText(std::string_view bytes) const = 0;
};

// The running system's registry, or its replacement where there is none.
[[nodiscard]] std::unique_ptr<Registry> makeNativeRegistry();

} // namespace korvane
