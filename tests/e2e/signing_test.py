"""A release that make_dist signed with a throwaway certificate made here: both files verify
against it, a changed byte fails, SHA256SUMS lists the signed files, and the signed MSI passes
the installer test's install scenario.

    signing_test.py --env ENVFILE --scr TAVREL_SCR --source-dir SOURCE --version VERSION
                    --newer-msi MSI --newer-version VERSION
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

from saver_harness import exit_status


def run(*command, cwd=None):
    return subprocess.run(command, capture_output=True, text=True, timeout=300, cwd=cwd)


def make_certificate(folder):
    key, cert, password, pkcs12 = (os.path.join(folder, name)
                                   for name in ("key.pem", "cert.pem", "password", "signer.p12"))
    with open(password, "w", encoding="utf-8") as file:
        file.write("throwaway %d\n" % os.getpid())
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "2", "-subj", "/CN=Tavrel test signer",
                    "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert,
                    "-passout", "file:" + password, "-out", pkcs12], check=True,
                   capture_output=True)
    return cert, pkcs12, password


def verifies(cert, path):
    return run("osslsigncode", "verify", "-CAfile", cert, "-in", path).returncode == 0


def with_changed_byte(path):
    with open(path, "rb") as original:
        data = bytearray(original.read())
    data[len(data) // 2] ^= 0x01
    with open(path + ".changed", "wb") as changed:
        changed.write(data)
    return path + ".changed"


def faults(arguments, folder):
    cert, pkcs12, password = make_certificate(folder)
    dist = os.path.join(folder, "dist")
    made = run("cmake", "-D", "DIST_DIR=" + dist, "-D", "SOURCE_DIR=" + arguments.source_dir,
               "-D", "VERSION=" + arguments.version, "-D", "SCR=" + arguments.scr,
               "-D", "SIGN_PKCS12=" + pkcs12, "-D", "SIGN_PASSWORD_FILE=" + password,
               "-P", os.path.join(arguments.source_dir, "cmake", "make_dist.cmake"))
    if made.returncode != 0:
        yield "make_dist failed: %s" % made.stderr
        return
    scr = os.path.join(dist, "tavrel.scr")
    msi = os.path.join(dist, "Tavrel-%s-x64.msi" % arguments.version)
    for path in (scr, msi):
        if not verifies(cert, path):
            yield "%s does not verify" % os.path.basename(path)
        if verifies(cert, with_changed_byte(path)):
            yield "%s verifies with a changed byte" % os.path.basename(path)
    if run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=dist).returncode != 0:
        yield "SHA256SUMS does not list the signed files"
    installer_test = os.path.join(os.path.dirname(os.path.abspath(__file__)), "installer_test.py")
    installed = run(sys.executable, installer_test, "--env", arguments.env,
                    "--scr", scr, "--msi", msi, "--version", arguments.version,
                    "--newer-msi", arguments.newer_msi, "--newer-version", arguments.newer_version,
                    "--scenario", "install")
    if installed.returncode != 0:
        yield "the signed MSI: %s%s" % (installed.stdout, installed.stderr)


def main():
    parser = argparse.ArgumentParser()
    for name in ("env", "scr", "source-dir", "version", "newer-msi", "newer-version"):
        parser.add_argument("--" + name, required=True)
    arguments = parser.parse_args()
    # A signing time after the throwaway certificate's start.
    os.environ["SOURCE_DATE_EPOCH"] = str(int(time.time()) + 60)
    with tempfile.TemporaryDirectory() as folder:
        return exit_status("signing", list(faults(arguments, folder)))


if __name__ == "__main__":
    sys.exit(main())
