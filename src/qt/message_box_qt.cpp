#include "message_box_qt.h"

#include "core/app_record.h"
#include "core/texts.h"
#include "text_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace korvane::qt {

void MessageBox::show(const std::string &text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(toQString(app::title));
    box.setText(QString::fromStdString(text));
    box.setDefaultButton(box.addButton(toQString(texts::ok), QMessageBox::AcceptRole));
    box.exec();
}

} // namespace korvane::qt
