#pragma once

#include <memory>
#include <string>

namespace korvane {

class FileLookup {
public:
    virtual ~FileLookup() = default;

    // True only when the path, taken literally, names an existing ordinary file: not a
    // folder, and where the system has such attributes, not a hidden or system file.
    [[nodiscard]] virtual bool isOrdinaryFile(const std::string &path) const = 0;
};

[[nodiscard]] std::unique_ptr<FileLookup> makeNativeFileLookup();

} // namespace korvane
