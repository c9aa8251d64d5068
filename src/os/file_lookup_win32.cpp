#include "core/file_lookup.h"

#include "core/utf.h"

#include <windows.h>

namespace korvane {

namespace {

class Win32FileLookup final : public FileLookup {
public:
    bool isOrdinaryFile(const std::string &path) const override
    {
        // GetFileAttributesW takes the name literally: a wildcard is an invalid name there,
        // not a pattern.
        if (path.empty())
            return false;
        const DWORD attributes = GetFileAttributesW(widen(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        return (attributes
                   & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            == 0;
    }
};

} // namespace

std::unique_ptr<FileLookup> makeNativeFileLookup()
{
    return std::make_unique<Win32FileLookup>();
}

} // namespace korvane
