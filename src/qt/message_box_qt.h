#pragma once

#include "core/message_box.h"

namespace korvane::qt {

class MessageBox final : public korvane::MessageBox {
public:
    void show(const std::string &text) override;
};

} // namespace korvane::qt
