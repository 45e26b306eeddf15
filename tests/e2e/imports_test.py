"""tavrel.scr is one self-contained file whose static imports are only DLLs that Windows always
takes from the system folder; OpenGL is loaded later, from the system folder alone. The release
file is lean: no debug sections, at most 400 KB. It is the same from any clone: the PE header's
time stamp is 0 and no build path is written into it.

    imports_test.py --objdump OBJDUMP --scr TAVREL_SCR --build-path PATH [--build-path PATH...]
"""
import argparse
import os
import struct
import subprocess
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"}
MOST_BYTES = 400 * 1024


def is_system(dll):
    return dll.lower() in SYSTEM_DLLS


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--scr", required=True)
    parser.add_argument("--build-path", action="append", default=[])
    arguments = parser.parse_args()
    dump = subprocess.run([arguments.objdump, "-p", arguments.scr], capture_output=True,
                          text=True, timeout=60, check=True).stdout
    dlls = [line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line]
    if "file format pei-x86-64" not in dump:
        print("tavrel.scr is not a 64-bit Windows program")
        return 1
    foreign = [dll for dll in dlls if not is_system(dll)]
    if not dlls or foreign:
        print("imports beyond the system's DLLs: %s (all: %s)" % (foreign, dlls))
        return 1
    headers = subprocess.run([arguments.objdump, "-h", arguments.scr], capture_output=True,
                             text=True, timeout=60, check=True).stdout
    debug = [line.split()[1] for line in headers.splitlines()
             if len(line.split()) > 1 and line.split()[1].startswith(".debug")]
    size = os.path.getsize(arguments.scr)
    if debug or size > MOST_BYTES:
        print("not lean: %d bytes, debug sections %s" % (size, debug))
        return 1
    with open(arguments.scr, "rb") as scr:
        data = scr.read()
    # The COFF header follows the "PE\0\0" signature that e_lfanew (at 0x3c) points to.
    header = struct.unpack_from("<I", data, 0x3c)[0]
    time_stamp = struct.unpack_from("<I", data, header + 8)[0]
    paths = [path for path in arguments.build_path if path.encode() in data]
    if time_stamp != 0 or paths:
        print("not the same from every clone: time stamp %#x, build paths %s" % (time_stamp, paths))
        return 1
    print("imports: %s; %d bytes" % (", ".join(dlls), size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
