#pragma once

#include "core/registry.h"

#include <map>
#include <string>

namespace korvane {

// Linux has no registry. This answers the one lookup that has a meaning here, the system
// information tool's full path, with the first desktop system information program found
// on the search path; every other key is missing.
class PosixRegistry final : public Registry {
public:
    // `searchPath` is a PATH-style list of folders.
    explicit PosixRegistry(std::string searchPath);

    [[nodiscard]] long open(std::uint32_t root, const std::string &keyName, std::uint32_t options,
        std::uint32_t access, RegistryHandle &key) override;
    [[nodiscard]] long query(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
        unsigned char *data, std::uint32_t &size) override;
    long close(RegistryHandle key) override;
    [[nodiscard]] std::string decodeText(std::string_view bytes) const override;

private:
    std::string m_searchPath;
    std::map<RegistryHandle, std::string> m_open;
    RegistryHandle m_next = 1;
};

} // namespace korvane
