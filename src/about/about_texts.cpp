#include "about_texts.h"

#include "app/app_record.h"

namespace korvane {

std::string AboutCaption()
{
    return "关于 " + std::string(app::Title);
}

std::string VersionLine()
{
    return "版本 " + std::to_string(app::VersionMajor) + '.' + std::to_string(app::VersionMinor)
        + '.' + std::to_string(app::VersionRevision);
}

} // namespace korvane
