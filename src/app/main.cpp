#include "app/app_record.h"
#include "main_window/main_form.h"
#include "platform/command_runner_native.h"
#include "platform/input_box_qt.h"
#include "platform/locale_qt.h"
#include "platform/message_box_qt.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(
        QString::fromUtf8(korvane::app::Title.data(), qsizetype(korvane::app::Title.size())));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(korvane::app::VersionMajor)
                                            .arg(korvane::app::VersionMinor)
                                            .arg(korvane::app::VersionRevision));

    korvane::QtInputBox inputBox;
    korvane::QtMessageBox messageBox;
    const std::unique_ptr<korvane::CommandRunner> runner = korvane::makeNativeCommandRunner();
    const korvane::QtLocale locale;
    const korvane::SystemClock clock;

    korvane::MainForm mainForm({ inputBox, messageBox, *runner, locale, clock });
    mainForm.show();
    return QApplication::exec();
}
