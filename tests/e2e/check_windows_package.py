#!/usr/bin/python3
"""Makes the Windows release as `cpack -G "ZIP;NSIS"` in the build folder does, and checks
what can be seen without running it: the ZIP holds korvane.exe alone, and the installer
carries the program's version record. tests/e2e/platform_wine.py runs the installer.

usage: check_windows_package.py BUILD_FOLDER OUTPUT_FOLDER VERSION
"""

import os
import shutil
import struct
import subprocess
import sys
import zipfile

# VS_FIXEDFILEINFO starts with this signature; the file and product versions follow.
FIXED_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def version_record(data):
    """The fixed file and product versions and the ProductVersion text of a PE file."""
    at = data.find(FIXED_INFO_SIGNATURE)
    if at < 0:
        return None
    fixed = struct.unpack_from("<6I", data, at)[2:6]
    key = "ProductVersion\0".encode("utf-16-le")
    text_at = data.find(key)
    if text_at < 0:
        return fixed, None
    # The value follows the key, aligned to four bytes, and ends with a zero.
    start = text_at + len(key)
    start += (-start) % 4
    end = data.find(b"\0\0", start)
    end += (end - start) % 2
    return fixed, data[start:end].decode("utf-16-le")


def main():
    build, output, version = sys.argv[1:4]
    shutil.rmtree(output, ignore_errors=True)
    os.makedirs(output)
    with open(os.path.join(output, "cpack.log"), "wb") as log:
        if subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"),
                           "-G", "ZIP;NSIS", "-B", output], stdout=log, stderr=log).returncode:
            sys.exit(f"cpack failed; see {log.name}")

    failures = []
    archive = os.path.join(output, f"korvane-{version}-win64.zip")
    installer = os.path.join(output, f"korvane-{version}-win64.exe")
    with zipfile.ZipFile(archive) as zipped:
        names = zipped.namelist()
        if names != ["korvane.exe"]:
            failures.append(f"the ZIP holds {names}, not korvane.exe alone")
        program = zipped.read("korvane.exe") if "korvane.exe" in names else b""

    with open(installer, "rb") as exe:
        installer_record = version_record(exe.read())
    program_record = version_record(program)
    if program_record is None or installer_record != program_record:
        failures.append(f"the installer's version record {installer_record} is not the "
                        f"program's {program_record}")

    for path in (archive, installer):
        print(f"{os.path.basename(path)}: {os.path.getsize(path)} bytes")
    for failure in failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
