#pragma once

#include <QIcon>

namespace korvane {

// The application icon in every size it was rendered in.
[[nodiscard]] QIcon appIcon();

} // namespace korvane
