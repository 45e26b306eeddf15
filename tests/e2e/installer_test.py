"""The installer as a Windows user meets it: Wine's msiexec installs, upgrades and removes the
real MSI, silently.

    installer_test.py --env ENVFILE --scr TAVREL_SCR --msi MSI --version VERSION
                      --newer-msi MSI --newer-version VERSION --scenario SCENARIO

Scenarios (each starts and ends with no Tavrel installed):
  install    /qn puts tavrel.scr into the system folder; Apps & Features lists "Tavrel" with the
             version and an icon; the installed saver snows and ends on Escape with status 0
  upgrade    the newer package replaces the installed one and leaves one product registered; the
             older package then refuses to go over it
  uninstall  /x removes tavrel.scr and the product, and leaves the user's settings alone
"""
import os

from saver_harness import check, run_scenario, snows_until_escape, windows_path

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
INSTALLED_SCR = r"C:\windows\system32\tavrel.scr"
ICON_HEADER = b"\x00\x00\x01\x00"


def msiexec(session, action, msi):
    """Runs msiexec silently and returns its status (Wine hands on its low eight bits)."""
    return session.run("wine", "msiexec", action, windows_path(msi), "/qn", timeout=120).returncode


def unix_path(session, path):
    return session.run("winepath", "-u", path).stdout.decode().strip()


def products(session):
    """The registered products named Tavrel: their Apps & Features values, one dict each."""
    listing = session.run("wine", "reg", "query", UNINSTALL_KEY, "/s").stdout.decode(
        errors="replace")
    found, values = [], None
    for line in listing.splitlines():
        if line.startswith("HKEY_"):
            values = {}
            found.append(values)
            continue
        parts = line.strip().split(None, 2)
        if values is not None and len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2] if len(parts) == 3 else ""
    return [values for values in found if values.get("DisplayName") == "Tavrel"]


def installed_versions(session):
    return [values.get("DisplayVersion") for values in products(session)]


def remove_every_tavrel(session):
    for msi in (session.arguments.newer_msi, session.arguments.msi):
        msiexec(session, "/x", msi)
    check(products(session) == [], "Tavrel is still registered after removal")


def install(session):
    check(msiexec(session, "/i", session.arguments.msi) == 0, "the silent install failed")
    installed = unix_path(session, INSTALLED_SCR)
    with open(installed, "rb") as copy, open(session.arguments.scr, "rb") as built:
        check(copy.read() == built.read(), "the system folder holds no copy of tavrel.scr")
    listed = products(session)
    check(len(listed) == 1 and listed[0].get("DisplayVersion") == session.arguments.version,
          "Apps & Features lists %r" % listed)
    icon = session.run("wine", "reg", "query", r"HKLM\Software\Classes\Installer\Products",
                       "/s", "/v", "ProductIcon").stdout.decode(errors="replace")
    icons = [line.split("REG_SZ", 1)[1].strip() for line in icon.splitlines() if "REG_SZ" in line]
    check(len(icons) == 1, "the product's icon is registered %d times" % len(icons))
    with open(unix_path(session, icons[0]), "rb") as picture:
        check(picture.read(4) == ICON_HEADER, "the registered icon is no icon file")
    session.scr = INSTALLED_SCR
    snows_until_escape(session, session.start_saver("/s"))


def upgrade(session):
    arguments = session.arguments
    check(msiexec(session, "/i", arguments.msi) == 0, "the first install failed")
    check(msiexec(session, "/i", arguments.newer_msi) == 0, "the newer package did not install")
    check(installed_versions(session) == [arguments.newer_version],
          "after the upgrade the registered versions are %r" % installed_versions(session))
    check(os.path.exists(unix_path(session, INSTALLED_SCR)), "the upgrade left no tavrel.scr")
    check(msiexec(session, "/i", arguments.msi) != 0, "the older package went over the newer")
    check(installed_versions(session) == [arguments.newer_version],
          "the older package left %r registered" % installed_versions(session))
    check(os.path.exists(unix_path(session, INSTALLED_SCR)), "the older package removed the saver")


def uninstall(session):
    settings = {"useGravity": 1, "useTransparentFlakes": 1, "snowCountPerSecond": 250}
    check(msiexec(session, "/i", session.arguments.msi) == 0, "the silent install failed")
    session.store(settings)
    check(msiexec(session, "/x", session.arguments.msi) == 0, "the silent uninstall failed")
    check(not os.path.exists(unix_path(session, INSTALLED_SCR)), "tavrel.scr is still installed")
    check(products(session) == [], "Tavrel is still registered")
    kept = {name: session.reg_query(name) for name in settings}
    check(all(kept[name] == ("REG_DWORD", hex(value)) for name, value in settings.items()),
          "the settings did not survive the uninstall: %r" % kept)


def scenario(steps):
    def run(session):
        remove_every_tavrel(session)
        try:
            steps(session)
        finally:
            remove_every_tavrel(session)
    return run


SCENARIOS = {f.__name__: scenario(f) for f in (install, upgrade, uninstall)}


def main():
    def arguments(parser):
        parser.add_argument("--msi", required=True)
        parser.add_argument("--version", required=True)
        parser.add_argument("--newer-msi", required=True)
        parser.add_argument("--newer-version", required=True)

    run_scenario(SCENARIOS, extra=arguments)


if __name__ == "__main__":
    main()
