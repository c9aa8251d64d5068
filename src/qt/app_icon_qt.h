#pragma once

#include <QIcon>

namespace korvane::qt {

// The application icon in every size it was rendered in.
[[nodiscard]] QIcon appIcon();

} // namespace korvane::qt
