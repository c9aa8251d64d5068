#include "about_texts.h"

#include "core/app_record.h"
#include "texts.h"

namespace korvane {

std::string aboutCaption()
{
    return std::string(texts::aboutCaptionPrefix) + std::string(app::title);
}

std::string versionLine()
{
    return std::string(texts::versionPrefix) + std::to_string(app::versionMajor) + '.'
        + std::to_string(app::versionMinor) + '.' + std::to_string(app::versionRevision);
}

} // namespace korvane
