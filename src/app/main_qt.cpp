#include "core/app_record.h"
#include "core/command_runner.h"
#include "core/file_lookup.h"
#include "core/registry.h"
#include "core/shutdown_exit_codes.h"
#include "qt/input_box_qt.h"
#include "qt/locale_qt.h"
#include "qt/main_form_qt.h"
#include "qt/message_box_qt.h"
#include "qt/notifier_refresh_qt.h"
#include "qt/text_qt.h"
#include "qt/ui_thread_qt.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(korvane::toQString(korvane::app::title));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(korvane::app::versionMajor)
                                            .arg(korvane::app::versionMinor)
                                            .arg(korvane::app::versionRevision));
    // Ties the windows to the installed desktop entry, whose name and icon docks show.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Korvane"));

    // Made before the runner that posts to it, so it goes after the runner has stopped.
    korvane::QtUiThread uiThread;
    korvane::QtInputBox inputBox;
    korvane::QtMessageBox messageBox;
    const std::unique_ptr<korvane::CommandRunner> runner
        = korvane::makeNativeCommandRunner(uiThread);
    const korvane::QtLocale locale;
    const korvane::SystemClock clock;
    const std::unique_ptr<korvane::Registry> registry = korvane::makeNativeRegistry();
    const std::unique_ptr<korvane::FileLookup> files = korvane::makeNativeFileLookup();

    korvane::qt::MainForm mainForm({ inputBox, messageBox, *runner, locale, clock, *registry,
        *files, korvane::standInExitCodes, korvane::refreshNotifier });
    mainForm.show();
    return QApplication::exec();
}
