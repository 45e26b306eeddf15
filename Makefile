# Tavrel: the two commands a new machine needs.
#   make run    install what is missing, build, show the snow
#   make test   install what is missing, build every preset, run every test
#   make fuzz   fuzz every target for FUZZ_SECONDS each (10 minutes by default)
#   make soak   run the saver for 20 minutes under Wine and check that its memory stays flat
#   make bench-saver  frames a second, CPU cores (beside the floor's) and frame intervals of the saver
#   make linux  build the Linux program alone (preset linux, in LINUX_BUILD, build/linux by
#               default) as the user who runs it, with only LINUX_PACKAGES installed
#   make install-linux   install it through its CMake install rules: the program into HACKDIR and its
#                        xscreensaver settings page into CONFIGDIR (xscreensaver's folders, whatever
#                        the PREFIX), the desktop entry for MATE's and Xfce's screen savers, the
#                        manual page and the systemd user unit under PREFIX, all under DESTDIR. It
#                        builds first; run with sudo it installs what make linux built, and builds
#                        nothing as root
#   make uninstall-linux   remove the files install-linux installed, given the same PREFIX and
#                          DESTDIR (the folders stay: others use them)
#   make dist   build the release: dist/ with tavrel.scr, its installer, the Debian package and
#               SHA256SUMS (signed with SIGN_PKCS12=<file> SIGN_PASSWORD_FILE=<file>)
#   make check-reproducible   build the release in two fresh clones and compare them byte for byte

# What the Linux program alone needs to build: the compiler, CMake, X11, OpenGL, EGL, Wayland.
LINUX_PACKAGES := cmake make g++ pkg-config libx11-dev libxrandr-dev libgl-dev libegl-dev \
  libwayland-dev libwayland-bin wayland-protocols plasma-wayland-protocols libsystemd-dev
# And what every preset, the tests and the release need besides.
PACKAGES := $(LINUX_PACKAGES) python3 \
  libgtest-dev googletest libbenchmark-dev \
  libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
  wine wine64 libwine fonts-wine xvfb xauth xdotool imagemagick x11-utils \
  clang libclang-rt-14-dev valgrind \
  xserver-xephyr wixl msitools xscreensaver \
  sway swayidle grim wtype wayvnc weston cage mutter kwin-wayland libkf5config-bin \
  gnome-shell gnome-session-bin gnome-settings-daemon dconf-service dbus python3-gi \
  git osslsigncode openssl dpkg-dev lintian \
  mate-screensaver dbus-x11 libglib2.0-bin

JOBS ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
FUZZ_SECONDS ?= 600
SOAK_SECONDS ?= 1200
# The install's prefix, and where xscreensaver looks for its screen savers and their settings
# files, which the prefix does not move: mate-screensaver runs screen savers only from
# xscreensaver's folders and its own, xscreensaver reads settings files only from its own.
PREFIX ?= /usr
HACKDIR ?= /usr/libexec/xscreensaver
CONFIGDIR ?= /usr/share/xscreensaver/config
LINUX_BUILD ?= build/linux
LINUX_CACHE = -D TAVREL_HACKDIR:STRING=$(HACKDIR) -D TAVREL_CONFIGDIR:STRING=$(CONFIGDIR)
# True when LINUX_BUILD is configured for these HACKDIR and CONFIGDIR.
LINUX_CONFIGURED = grep -qFx 'TAVREL_HACKDIR:STRING=$(HACKDIR)' $(LINUX_BUILD)/CMakeCache.txt 2>/dev/null && \
  grep -qFx 'TAVREL_CONFIGDIR:STRING=$(CONFIGDIR)' $(LINUX_BUILD)/CMakeCache.txt
BUILD_LINUX = { $(LINUX_CONFIGURED) || cmake --preset linux -B $(LINUX_BUILD) $(LINUX_CACHE) >/dev/null; } && \
  cmake --build $(LINUX_BUILD) -j $(JOBS)
# What install-linux installed with this PREFIX (CMake's manifest names the last install only).
LINUX_INSTALLED = $(LINUX_BUILD)/installed$(subst /,-,$(PREFIX)).txt
OTHER_INSTALLS = $(filter-out $(LINUX_INSTALLED),$(wildcard $(LINUX_BUILD)/installed-*.txt))

.PHONY: deps configure build build-asan test test-native test-asan test-windows fuzz soak bench-saver \
  run linux install-linux uninstall-linux dist check-reproducible clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  SUDO=$$( [ "$$(id -u)" -eq 0 ] || echo sudo ); \
	  $$SUDO apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake --preset native >/dev/null
	cmake --preset windows >/dev/null

build: configure
	cmake --build --preset native -j $(JOBS)
	cmake --build --preset windows -j $(JOBS)

test-native: build
	ctest --preset native $(CTEST_FLAGS)

# Programs under Wine on a virtual display meet timing they do not own; a test that fails is run
# once more, so only a failure that repeats fails the run (CTest names every retried test).
test-windows: build
	ctest --preset windows $(CTEST_FLAGS) --repeat until-pass:2

# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer (clang), with a
# few seconds of every fuzz target.
build-asan: deps
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan -j $(JOBS)

test-asan: build-asan
	ctest --preset native-asan $(CTEST_FLAGS)

# Cheapest first, so that a fault shows before the Wine tests start.
test: test-native test-asan test-windows

fuzz: build-asan
	TAVREL_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset native-asan -L fuzz $(CTEST_FLAGS)

# The long run of the test suite (3 minutes), stretched to SOAK_SECONDS; the test's timeout
# (30 minutes) leaves room for runs of up to about 28 minutes.
soak: build
	TAVREL_LONG_RUN_SECONDS=$(SOAK_SECONDS) ctest --preset windows -R '^e2e_long_run$$' $(CTEST_FLAGS)

# The running saver's load at 100 flakes a second beside the floor of a paced full-screen frame,
# on private 1280x720 and 1920x1080 displays (15 s each, after 15 s of warm-up, when the snow is
# at its full count), then with nobody to see it: the Linux program, then the Windows program
# under Wine.
bench-saver: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target tavrel saver_probe
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target tavrel swap_log floor_frame
	bench/saver_load.sh build/windows/tavrel.scr build/native/tavrel

run: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target tavrel
	tools/run_snow.sh build/windows/tavrel.scr

linux:
	$(BUILD_LINUX)

# Run as root through sudo, nothing is built: the build folder stays the user's. The files the
# install wrote into it (the manifests) are given back to the folder's owner.
install-linux:
	@if [ -n "$$SUDO_USER" ] && [ "$$(id -u)" -eq 0 ]; then \
	  { [ -x $(LINUX_BUILD)/tavrel ] && $(LINUX_CONFIGURED); } || { echo "install-linux: nothing \
	built in $(LINUX_BUILD) for HACKDIR=$(HACKDIR) CONFIGDIR=$(CONFIGDIR); as $$SUDO_USER, run \
	make linux (with the same HACKDIR and CONFIGDIR) or cmake --preset linux && cmake --build \
	--preset linux first" >&2; exit 1; }; \
	else $(BUILD_LINUX); fi
	DESTDIR=$(DESTDIR) cmake --install $(LINUX_BUILD) --prefix $(PREFIX)
	cp $(LINUX_BUILD)/install_manifest.txt $(LINUX_INSTALLED)
	[ "$$(id -u)" -ne 0 ] || chown --reference=$(LINUX_BUILD) $(LINUX_BUILD)/install_manifest.txt \
	  $(LINUX_INSTALLED)

# A file that an install with another PREFIX has too (the program and its settings page, which
# stay in xscreensaver's folders) stays until that one is uninstalled as well.
uninstall-linux:
	@[ -f $(LINUX_INSTALLED) ] || { echo "uninstall-linux: nothing was installed from \
	$(LINUX_BUILD) with PREFIX=$(PREFIX)" >&2; exit 1; }
	@while IFS= read -r path || [ -n "$$path" ]; do \
	  if cat $(OTHER_INSTALLS) /dev/null | grep -qFx -- "$$path"; then \
	    echo "Keeping $(DESTDIR)$$path for another PREFIX's install"; \
	  elif [ -e "$(DESTDIR)$$path" ] || [ -L "$(DESTDIR)$$path" ]; then \
	    echo "Removing $(DESTDIR)$$path"; rm -f -- "$(DESTDIR)$$path"; \
	  fi; \
	done < $(LINUX_INSTALLED)
	rm -f $(LINUX_INSTALLED)

# The release: the saver, its MSI and the Debian package of the Linux program, all of the project's
# one version (project() in CMakeLists.txt), with their SHA-256 sums; the same bytes from any clone
# of one commit (times from SOURCE_DATE_EPOCH, or else the last commit's). With SIGN_PKCS12 and
# SIGN_PASSWORD_FILE the saver and the MSI are signed, and SIGN_TIMESTAMP_URL adds a time stamp.
VERSION := $(shell sed -n 's/^project.Tavrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
SIGN_PKCS12 ?=
SIGN_PASSWORD_FILE ?=
SIGN_TIMESTAMP_URL ?=
dist: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target tavrel
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target tavrel
	cmake -D DIST_DIR=$(CURDIR)/dist -D SOURCE_DIR=$(CURDIR) -D VERSION=$(VERSION) \
	  -D SCR=$(CURDIR)/build/windows/tavrel.scr -D PROGRAM=$(CURDIR)/build/native/tavrel \
	  -D SIGN_PKCS12=$(SIGN_PKCS12) -D SIGN_PASSWORD_FILE=$(SIGN_PASSWORD_FILE) \
	  -D SIGN_TIMESTAMP_URL=$(SIGN_TIMESTAMP_URL) -P cmake/make_dist.cmake

# Slow (two builds from nothing), so not part of make test.
check-reproducible: deps
	tools/check_reproducible.sh $(JOBS)

clean:
	rm -rf build dist
