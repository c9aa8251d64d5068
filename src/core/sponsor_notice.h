#pragma once

namespace korvane {

// One line: the publisher, its rights statement and a contact number (a placeholder, not in
// service).
inline constexpr const char *sponsorNotice
    = "Korvane 开发组 版权所有，保留一切权利。赞助与合作请致电：000-0000-0000（示例号码）";

} // namespace korvane
