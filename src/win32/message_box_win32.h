#pragma once

#include "core/message_box.h"

namespace korvane::win32 {

// MessageBoxW with OK only and no icon, modal for the whole program.
class MessageBox final : public korvane::MessageBox {
public:
    void show(const std::string &text) override;
};

} // namespace korvane::win32
