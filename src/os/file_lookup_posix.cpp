#include "core/file_lookup.h"

#include <sys/stat.h>

namespace korvane {

namespace {

// There is no hidden or system attribute here: any regular file counts, a dot-file too.
class PosixFileLookup final : public FileLookup {
public:
    bool isOrdinaryFile(const std::string &path) const override
    {
        struct stat status { };
        return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    }
};

} // namespace

std::unique_ptr<FileLookup> makeNativeFileLookup()
{
    return std::make_unique<PosixFileLookup>();
}

} // namespace korvane
