#pragma once

#include <cstdint>
#include <string>

namespace korvane {

class CommandRunner;
class FileLookup;
class MessageBox;
class Registry;

struct SysInfoServices {
    Registry &registry;
    const FileLookup &files;
    CommandRunner &runner;
    MessageBox &messageBox;
};

// Finds the system information tool through the registry and starts it.
class SysInfoLauncher {
public:
    explicit SysInfoLauncher(const SysInfoServices &services);

    // Starts the tool, or tells the user that it is not available.
    void StartSysInfo();

    // Reads one value as text. True when the key opened and the value was read, whatever
    // its type; a failed open or query empties `KeyVal`, a type other than text or a 32-bit
    // number leaves it as it was.
    [[nodiscard]] bool GetKeyValue(std::uint32_t KeyRoot, const std::string &KeyName,
        const std::string &SubKeyRef, std::string &KeyVal);

private:
    SysInfoServices m_services;
};

// "&h000105" -> "261": the hexadecimal text of a 32-bit value as its decimal digits; any
// other text is kept as it is.
[[nodiscard]] std::string formatHexValue(const std::string &text);

} // namespace korvane
