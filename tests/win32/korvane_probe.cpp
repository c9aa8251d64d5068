// A recording program for the runner tests and, as shutdown.exe and msinfo32.exe, for the Wine
// end-to-end lane: appends one line about how it was started to the file named by
// KORVANE_PROBE_LOG, then, with "--wait FILE", stays until FILE exists and removes it (for two
// minutes at most, longer than any test waits for it); with
// "--exit N", ends with exit code N. So that a test can play a refusal, KORVANE_PROBE_EXIT may
// name a file of "ARGUMENT CODE" lines: the probe exits with the CODE of its first argument's
// line, otherwise with 0.
#include <windows.h>

#include <cstdio>
#include <string>

static int exitCode(int argc, wchar_t **argv)
{
    wchar_t rules[MAX_PATH] = {};
    if (argc < 2 || GetEnvironmentVariableW(L"KORVANE_PROBE_EXIT", rules, MAX_PATH) == 0)
        return 0;
    FILE *in = _wfopen(rules, L"r");
    if (!in)
        return 0;
    wchar_t argument[64] = {};
    int code = 0;
    int result = 0;
    while (std::fwscanf(in, L"%63ls %d", argument, &code) == 2) {
        if (std::wstring(argument) == argv[1]) {
            result = code;
            break;
        }
    }
    std::fclose(in);
    return result;
}

int wmain(int argc, wchar_t **argv)
{
    wchar_t log[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KORVANE_PROBE_LOG", log, MAX_PATH) == 0)
        return 1;

    STARTUPINFOW startup {};
    GetStartupInfoW(&startup);
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);

    const std::wstring line = std::wstring(module) + L'|' + std::to_wstring(startup.wShowWindow)
        + L'|' + std::to_wstring(startup.dwFlags) + L'|' + GetCommandLineW() + L'\n';
    std::string utf8(line.size() * 4, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(),
            static_cast<int>(utf8.size()), nullptr, nullptr)));
    if (FILE *out = _wfopen(log, L"ab")) {
        std::fwrite(utf8.data(), 1, utf8.size(), out);
        std::fclose(out);
    }

    if (argc == 3 && std::wstring(argv[1]) == L"--wait") {
        // Removing the file tells the test that the probe is on its way out. It fails while
        // the file is missing, and while the test still has it open after creating it.
        for (int i = 0; i < 12000 && !DeleteFileW(argv[2]); ++i)
            Sleep(10);
    }
    if (argc == 3 && std::wstring(argv[1]) == L"--exit")
        return _wtoi(argv[2]);
    return exitCode(argc, argv);
}
