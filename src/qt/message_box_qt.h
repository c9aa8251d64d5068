#pragma once

#include "core/message_box.h"

namespace korvane {

class QtMessageBox final : public MessageBox {
public:
    void show(const std::string &text) override;
};

} // namespace korvane
