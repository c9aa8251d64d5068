#pragma once

#include "core/message_box.h"

namespace korvane {

// MessageBoxW with OK only and no icon, modal for the whole program.
class Win32MessageBox final : public MessageBox {
public:
    void show(const std::string &text) override;
};

} // namespace korvane
