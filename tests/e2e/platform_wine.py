"""The e2e driver's Windows side: korvane.exe under Wine, in the lane's own prefix that
tests/e2e/wine_prefix.sh makes. The recording probe is shutdown.exe in the system folder,
with decoys beside korvane.exe and in its working folder, where the usual search would look
first; Wine's own shutdown.exe is switched off for every program started here, so nothing can
reach even Wine's idea of a power state."""

import os
import re
import subprocess

from e2e_support import STARTUP_CAPTION, Failure, check, step, wait_for

# shutdown.exe may only load as a native file, so the recording probe in the system folder
# runs in place of Wine's builtin one. mscoree and mshtml would offer downloads.
WINE_DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d;shutdown.exe=n"
# The probe names its log in UTF-16: a cheap proof that shutdown.exe is ours.
PROBE_MARK = "KORVANE_PROBE_LOG".encode("utf-16-le")

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
INSTALL_FOLDER = r"C:\Program Files\Korvane Test"
SHORTCUT = "ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane.lnk"
# Where tests/e2e/wine_prefix.sh puts the probe and the registry says the tool is.
SYS_INFO_TOOL = r"C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe"
SHUTDOWN = r"C:\windows\system32\shutdown.exe"
# The folder korvane.exe starts in; a decoy shutdown.exe lies there.
WORKING_FOLDER = r"C:\Downloads"
SW_HIDE = 0
STARTF_USESHOWWINDOW = 0x1


class WinePlatform:
    """Commands are what the probe recorded: ("poweroff" | "reboot", seconds text) or
    ("cancel", None)."""

    def __init__(self, options):
        self.wineprefix = os.environ.get("WINEPREFIX", "")
        if (not os.path.isabs(self.wineprefix)
                or not os.path.isfile(os.path.join(self.wineprefix, "system.reg"))):
            raise SystemExit("WINEPREFIX must name the lane's prefix (tests/e2e/wine_prefix.sh)")
        self.folder = os.path.abspath(options.prefix)
        self.installer = options.installer
        self.output = options.output
        self.scenarios = {"installer": scenario_installer}
        self.program = os.path.join(self.folder, "korvane.exe")
        self.log = None
        self.environment = {
            "WINEPREFIX": self.wineprefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": WINE_DLL_OVERRIDES,
        }

    def start_session(self, desktop, processes, scenario):
        self.log = os.path.join(self.output, f"{scenario}.commands.log")
        if os.path.exists(self.log):
            os.remove(self.log)
        self.exit_rules = os.path.join(self.output, f"{scenario}.exit")
        if os.path.exists(self.exit_rules):
            os.remove(self.exit_rules)
        self.environment["KORVANE_PROBE_LOG"] = self.windows_path(self.log)
        self.environment["KORVANE_PROBE_EXIT"] = self.windows_path(self.exit_rules)
        desktop.env.update(self.environment)
        self.wine_output = open(os.path.join(self.output, f"{scenario}.wine.log"), "wb")
        # Our own server first: the services that the first Wine program would start keep
        # its output open otherwise; -p keeps it between the programs of this scenario.
        self.wine(desktop, "wineserver", "-p")
        processes.on_end(lambda: self.end_session(desktop))

    def end_session(self, desktop):
        self.wine(desktop, "wineserver", "-k", check_result=False)
        self.wine(desktop, "wineserver", "-w", check_result=False)
        self.wine_output.close()

    def wine(self, desktop, *argv, check_result=True, timeout=60):
        result = subprocess.run(argv, env=desktop.env, stdin=subprocess.DEVNULL,
                                stdout=self.wine_output, stderr=self.wine_output,
                                timeout=timeout)
        if check_result and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} ended with {result.returncode}")
        return result.returncode

    def windows_path(self, path):
        """C: is the prefix's drive_c; everything else is under Z:, Wine's view of /."""
        path = os.path.abspath(path)
        drive = os.path.join(self.wineprefix, "drive_c")
        if path == drive or path.startswith(drive + os.sep):
            return "C:\\" + os.path.relpath(path, drive).replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def unix_path(self, path):
        check(path[:3].upper() == "C:\\", f"not on drive C: {path}")
        return os.path.join(self.wineprefix, "drive_c", *path[3:].split("\\"))

    def argv(self, scenario, desktop):
        if scenario == "installer":
            return ["wine", install(self, desktop) + "\\korvane.exe"]
        decoys = [self.windows_path(os.path.join(self.folder, "shutdown.exe")),
                  WORKING_FOLDER + "\\shutdown.exe"]
        for probe in [SHUTDOWN, *decoys]:
            with open(self.unix_path(probe), "rb") as recorder:
                check(PROBE_MARK in recorder.read(), f"{probe} is not the recording probe")
        return ["wine", self.windows_path(self.program)]

    def program_output(self):
        """Where the program's output goes: a file, as the Wine services that it starts
        would otherwise hold the test's output open."""
        return {"stdin": subprocess.DEVNULL, "stdout": self.wine_output,
                "stderr": self.wine_output, "cwd": self.unix_path(WORKING_FOLDER)}

    def main_window(self, desktop, process):
        # `wine` becomes the Windows process: its windows carry its pid.
        found = desktop.windows(pid=process.pid)
        return found[0] if found else None

    def now(self):
        return None

    def probe_runs(self):
        """(module, show, flags, command line) of each start the probe recorded."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8", newline="\n") as log:
            lines = log.read().splitlines()
        return [tuple(line.split("|", 3)) for line in lines]

    def commands(self):
        result = []
        for module, show, flags, command_line in self.probe_runs():
            if not module.lower().endswith("\\shutdown.exe"):
                continue
            # The decoys, say, or a copy that the usual search found elsewhere.
            check(module.lower() == SHUTDOWN.lower(),
                  f"a shutdown.exe other than the system folder's ran: {module}")
            check(int(show) == SW_HIDE and int(flags) & STARTF_USESHOWWINDOW,
                  f"shutdown.exe was not started hidden: show {show}, flags {flags}")
            words = command_line.split()[1:]
            if len(words) == 3 and words[:2] in (["-s", "-t"], ["-r", "-t"]):
                result.append(("poweroff" if words[0] == "-s" else "reboot", words[2]))
            elif words == ["-a"]:
                result.append(("cancel", None))
            else:
                result.append(("unknown", command_line))
        return result

    def tool_starts(self):
        """The modules of the probe's starts as the system information tool: the path the
        registry names, blanks and all, never a shorter one."""
        return [run[0] for run in self.probe_runs() if run[0].lower() != SHUTDOWN.lower()]

    def refuse_schedule(self):
        """shutdown.exe answers -s with ERROR_SHUTDOWN_IS_SCHEDULED, as Windows does when
        a shutdown is already pending."""
        with open(self.exit_rules, "w", encoding="ascii") as rules:
            rules.write("-s 1190\n")

    def is_sys_info_tool(self, module):
        return module.lower() == SYS_INFO_TOOL.lower()

    def check_schedule(self, command, kind, delay_seconds, before, after):
        """shutdown.exe is given the delay itself, in seconds."""
        check(command == (kind, str(delay_seconds)),
              f"shutdown.exe got {command}, not {kind} in {delay_seconds} s")

    def registry_values(self, desktop, key):
        """The key's values as {name: text}, or None when there is no such key."""
        answer = os.path.join(self.output, "reg_query.txt")
        with open(answer, "wb") as out:
            status = subprocess.run(["wine", "reg", "query", key], env=desktop.env,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=self.wine_output, timeout=30).returncode
        if status != 0:
            return None
        with open(answer, encoding="utf-8", errors="replace") as text:
            rows = (re.match(r"^\s+(\S+)\s+(REG_\w+)\s+(.*?)\s*$", line) for line in text)
            return {row[1]: row[3] for row in rows if row}


def install(platform, desktop):
    """Runs the installer silently into a folder whose path has blanks; returns that folder."""
    check(platform.installer and os.path.isfile(platform.installer), "no installer given")
    folder = platform.unix_path(INSTALL_FOLDER)
    check(not os.path.exists(folder), f"{folder} is there before the installer ran")
    step(f"the installer, silently, into {INSTALL_FOLDER}")
    # NSIS reads /D= only last and unquoted, so the folder goes in as separate words: Wine
    # would quote a single argument that holds blanks.
    platform.wine(desktop, "wine", platform.windows_path(platform.installer), "/S",
                  *("/D=" + INSTALL_FOLDER).split(" "))
    return INSTALL_FOLDER


def scenario_installer(app, output):
    platform, desktop = app.platform, app.desktop
    folder = platform.unix_path(INSTALL_FOLDER)
    step("the program, its uninstaller, its shortcut and its uninstall entry are there")
    check(sorted(os.listdir(folder)) == ["Uninstall.exe", "korvane.exe"],
          f"installed: {sorted(os.listdir(folder))}")
    program = INSTALL_FOLDER + "\\korvane.exe"
    shortcut = os.path.join(platform.wineprefix, "drive_c", SHORTCUT)
    check(os.path.isfile(shortcut), "no Start-menu shortcut Korvane for all users")
    with open(shortcut, "rb") as link:
        check(program.encode("utf-16-le") in link.read(), "the shortcut does not name korvane.exe")
    values = platform.registry_values(desktop, UNINSTALL_KEY)
    check(values is not None, f"no uninstall entry {UNINSTALL_KEY}")
    version = re.fullmatch(r"korvane-(.+)-win64\.exe", os.path.basename(platform.installer))
    expected = {
        "DisplayName": "Korvane",
        "DisplayVersion": version[1] if version else None,
        "Publisher": "Korvane developers",
        "DisplayIcon": program,
        "InstallLocation": INSTALL_FOLDER,
        "UninstallString": f'"{INSTALL_FOLDER}\\Uninstall.exe"',
    }
    for name, value in expected.items():
        check(values.get(name) == value, f"uninstall entry {name}: {values.get(name)!r}")
    size_kb = int(values.get("EstimatedSize", "0"), 16)
    on_disk = sum(entry.stat().st_size for entry in os.scandir(folder)) // 1024
    check(0 < size_kb and abs(size_kb - on_disk) <= 4,
          f"EstimatedSize {size_kb} KB, on disk {on_disk} KB")

    step("the installed program shows its main window; Alt+F4 ends it")
    check(app.first_title == STARTUP_CAPTION, f"the first caption was {app.first_title!r}")
    desktop.screenshot(app.window, os.path.join(output, "installed_main_window.png"))
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the installed program did not end it cleanly")

    step("the silent uninstaller removes the program, the shortcut and the entry")
    platform.wine(desktop, "wine", INSTALL_FOLDER + "\\Uninstall.exe", "/S")
    # The uninstaller hands over to a copy of itself in the temporary folder and returns at
    # once; the entry is the last thing that copy removes.
    wait_for("the uninstall entry to go",
             lambda: platform.registry_values(desktop, UNINSTALL_KEY) is None, timeout=30)
    check(not os.path.exists(folder), f"{INSTALL_FOLDER} is left behind")
    check(not os.path.exists(shortcut), "the shortcut is left behind")
