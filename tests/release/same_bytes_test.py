"""A cmake/make_*.cmake step gives the same bytes when run again a moment later on a copy of its
input with another modification time. Usage: same_bytes_test.py --script SCRIPT --input-name SCR
--input FILE --output-name MSI --source-dir SOURCE --version VERSION [--define NAME=VALUE...]"""
import argparse
import os
import subprocess
import sys
import tempfile
import time


def build(arguments, folder, modified):
    given = os.path.join(folder, os.path.basename(arguments.input))
    with open(arguments.input, "rb") as source, open(given, "wb") as copy:
        copy.write(source.read())
    os.utime(given, (modified, modified))
    output = os.path.join(folder, "release-file")
    subprocess.run(["cmake", "-D", "%s=%s" % (arguments.input_name, given),
                    "-D", "%s=%s" % (arguments.output_name, output),
                    "-D", "SOURCE_DIR=" + arguments.source_dir, "-D", "VERSION=" + arguments.version]
                   + ["-D" + define for define in arguments.define] + ["-P", arguments.script],
                   check=True, timeout=120, stdout=subprocess.DEVNULL)
    with open(output, "rb") as made:
        return made.read()


def main():
    parser = argparse.ArgumentParser()
    for name in ("script", "input-name", "input", "output-name", "source-dir", "version"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--define", action="append", default=[])
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
        before = build(arguments, first, 1000000000)
        time.sleep(1.5)
        after = build(arguments, second, 1700000000)
    if before != after:
        print("the two builds differ (%d and %d bytes)" % (len(before), len(after)))
        return 1
    print("same bytes: %d" % len(before))
    return 0


if __name__ == "__main__":
    sys.exit(main())
