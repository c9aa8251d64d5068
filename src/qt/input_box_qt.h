#pragma once

#include "core/input_box.h"

class QWidget;

namespace korvane {

class QtInputBox final : public InputBox {
public:
    // Without a parent the box opens over the active window.
    explicit QtInputBox(QWidget *parent = nullptr);

    [[nodiscard]] std::string ask(const std::string &prompt, const std::string &title,
        const std::string &defaultText) override;

private:
    QWidget *m_parent;
};

} // namespace korvane
