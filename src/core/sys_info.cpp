#include "sys_info.h"

#include "command_runner.h"
#include "file_lookup.h"
#include "message_box.h"
#include "registry.h"
#include "texts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <exception>
#include <string>
#include <string_view>

namespace korvane {

namespace {

constexpr std::size_t bufferSize = 1024;
constexpr const char *folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char *folderValue = "MSINFO";
constexpr const char *toolFile = "\\MSINFO32.EXE";

} // namespace

SysInfoLauncher::SysInfoLauncher(const SysInfoServices &services)
    : m_services(services)
{
}

void SysInfoLauncher::StartSysInfo()
{
    bool started = false;
    try {
        std::string path;
        bool found = GetKeyValue(
            registry::localMachine, registry::sysInfoToolKey, registry::sysInfoToolValue, path);
        // Only the folder is checked: a full path is trusted as the registry gives it.
        if (!found && GetKeyValue(registry::localMachine, folderKey, folderValue, path)) {
            const std::string file = path + toolFile;
            found = m_services.files.isOrdinaryFile(file);
            if (found)
                path = file;
        }
        // The path is the program itself, never a command line to split at blanks:
        // "C:\Program Files\..." must not become "C:\Program".
        started
            = found && m_services.runner.start(Command { path, {} }, WindowStyle::NormalWithFocus);
    } catch (const std::exception &) {
        started = false;
    }
    if (!started)
        m_services.messageBox.show(std::string(texts::sysInfoUnavailable));
}

bool SysInfoLauncher::GetKeyValue(std::uint32_t KeyRoot, const std::string &KeyName,
    const std::string &SubKeyRef, std::string &KeyVal)
{
    Registry &registry = m_services.registry;

    // The key is closed on every way out, a failed open included: that closes the null
    // handle, and the status of the close is ignored.
    RegistryHandle key = 0;
    struct Closer {
        Registry &registry;
        const RegistryHandle &key;
        ~Closer() { (void)registry.close(key); }
    } closer { registry, key };

    // Read rights only: asking for write rights makes HKEY_LOCAL_MACHINE refuse every
    // standard user.
    if (registry.open(KeyRoot, KeyName, 0, registry::keyRead, key) != registry::success) {
        KeyVal.clear();
        return false;
    }

    std::array<unsigned char, bufferSize> buffer {};
    std::uint32_t size = bufferSize;
    std::uint32_t type = 0;
    if (registry.query(key, SubKeyRef, type, buffer.data(), size) != registry::success) {
        KeyVal.clear();
        return false;
    }

    std::size_t kept = std::min<std::size_t>(size, bufferSize);
    if (kept >= 1 && buffer[kept - 1] == 0)
        --kept;
    const std::string_view bytes(reinterpret_cast<const char *>(buffer.data()), kept);

    if (type == registry::typeString) {
        KeyVal = registry.decodeText(bytes);
    } else if (type == registry::typeDword) {
        // Least significant byte first in the buffer; written most significant first. KeyVal
        // is not emptied first: the digits follow the text passed in.
        static constexpr char digits[] = "0123456789ABCDEF";
        for (std::size_t i = kept; i-- > 0;) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            KeyVal += digits[byte >> 4];
            KeyVal += digits[byte & 0xF];
        }
        KeyVal = formatHexValue("&h" + KeyVal);
    }
    return true;
}

std::string formatHexValue(const std::string &text)
{
    if (text.size() < 3 || text.size() > 10 || text[0] != '&' || (text[1] != 'h' && text[1] != 'H'))
        return text;
    std::uint32_t value = 0;
    const char *first = text.data() + 2;
    const char *last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last)
        return text;
    return std::to_string(value);
}

} // namespace korvane
