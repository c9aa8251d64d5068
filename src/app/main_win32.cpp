#include "core/command_runner.h"
#include "core/file_lookup.h"
#include "core/registry.h"
#include "core/shutdown_exit_codes.h"
#include "win32/input_box_win32.h"
#include "win32/locale_win32.h"
#include "win32/main_form_win32.h"
#include "win32/message_box_win32.h"
#include "win32/top_level_win32.h"
#include "win32/ui_thread_win32.h"

#include "win32/windows_api.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Version 6 of the common controls (the manifest asks for it) draws the buttons in the
    // system's style once it is loaded.
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&controls);

    korvane::win32::UiThread uiThread;
    const std::unique_ptr<korvane::CommandRunner> runner
        = korvane::makeNativeCommandRunner(uiThread);
    korvane::win32::InputBox inputBox;
    korvane::win32::MessageBox messageBox;
    const korvane::win32::Locale locale;
    const korvane::win32::Clock clock;
    const std::unique_ptr<korvane::Registry> registry = korvane::makeNativeRegistry();
    const std::unique_ptr<korvane::FileLookup> files = korvane::makeNativeFileLookup();

    // The last window to close ends the process, the main window or the About window.
    korvane::win32::TopLevelWindows::setOnLastClosed([] { PostQuitMessage(0); });

    korvane::win32::MainForm mainForm({ inputBox, messageBox, *runner, locale, clock, *registry,
        *files, korvane::windowsExitCodes });
    if (!mainForm.create())
        return 1;
    ShowWindow(mainForm.window(), showCommand);
    return korvane::win32::runMessageLoop();
}
