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
#include "qt/platform_qt.h"
#include "qt/text_qt.h"
#include "qt/ui_thread_qt.h"

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Asked for on the command line Qt reads, not in the environment the programs Korvane
    // starts would inherit; before the user's arguments, where a "-platform" left without
    // its value cannot take ours as its value.
    std::vector<char *> arguments(argv, argv + argc);
    std::string platform = korvane::qt::platformFor(korvane::qt::currentSession(argc, argv));
    char platformOption[] = "-platform";
    if (!platform.empty() && argc > 0)
        arguments.insert(arguments.begin() + 1, { platformOption, platform.data() });
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);

    QApplication application(count, arguments.data());
    QApplication::setApplicationName(korvane::qt::toQString(korvane::app::title));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(korvane::app::versionMajor)
                                            .arg(korvane::app::versionMinor)
                                            .arg(korvane::app::versionRevision));
    // Ties the windows to the installed desktop entry, whose name and icon docks show.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Korvane"));

    // Made before the runner that posts to it, so it goes after the runner has stopped.
    korvane::qt::UiThread uiThread;
    korvane::qt::InputBox inputBox;
    korvane::qt::MessageBox messageBox;
    const std::unique_ptr<korvane::CommandRunner> runner
        = korvane::makeNativeCommandRunner(uiThread);
    const korvane::qt::Locale locale;
    const korvane::qt::Clock clock;
    const std::unique_ptr<korvane::Registry> registry = korvane::makeNativeRegistry();
    const std::unique_ptr<korvane::FileLookup> files = korvane::makeNativeFileLookup();

    korvane::qt::MainForm mainForm({ inputBox, messageBox, *runner, locale, clock, *registry,
        *files, korvane::helperExitCodes, korvane::qt::refreshNotifier });
    mainForm.show();
    return QApplication::exec();
}
