#include "about_texts.h"

#include "core/app_record.h"

namespace korvane {

std::string aboutCaption()
{
    return "关于 " + std::string(app::title);
}

std::string versionLine()
{
    return "版本 " + std::to_string(app::versionMajor) + '.' + std::to_string(app::versionMinor)
        + '.' + std::to_string(app::versionRevision);
}

} // namespace korvane
