#include "input_box_qt.h"

#include "core/texts.h"
#include "core/trace.h"
#include "text_qt.h"

#include <QApplication>
#include <QInputDialog>

namespace korvane::qt {

std::string InputBox::ask(
    const std::string &prompt, const std::string &title, const std::string &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(defaultText));
    dialog.setOkButtonText(toQString(texts::ok));
    dialog.setCancelButtonText(toQString(texts::cancel));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    traceMark("accepted");
    return dialog.textValue().toStdString();
}

} // namespace korvane::qt
