# Set-up and everyday commands. `make test` and `make run` install the Debian
# packages the project needs (only those missing), configure and build.

PRESET ?= default
BUILD_DIR = build$(if $(filter default,$(PRESET)),,-$(PRESET))
JOBS ?= $(shell nproc)
# Where `make screenshots` and `make windows-screenshot` write their pictures;
# SCREENSHOTS=docs/screenshots replaces README's.
SCREENSHOTS ?= screenshots-out

# What the Linux and the Windows builds both need.
COMMON_PACKAGES = cmake g++ make iproute2 util-linux fonts-wqy-microhei
PACKAGES = $(COMMON_PACKAGES) pkg-config libgtest-dev libgmock-dev qt6-base-dev libgl-dev qt6-translations-l10n
# Only `make package` needs these: cpack's dependency scan and the package checks.
PACKAGING_PACKAGES = dpkg-dev file lintian desktop-file-utils appstream man-db
# Root installs directly; anyone else through sudo, where there is one.
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps build test test-windows windows windows-screenshot run screenshots bench bench-address bench-startup package fuzz clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  if [ -n "$(SUDO)" ] && ! command -v sudo >/dev/null; then \
	    echo "Missing Debian packages; as root, run: apt-get install --no-install-recommends" $$missing >&2; \
	    exit 1; \
	  fi; \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

# TARGETS: what to build (everything, unless named).
TARGETS ?=
build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS) $(if $(TARGETS),--target $(TARGETS))

# The suite, then one line for each test that was skipped, with its reason.
test: build
	@status=0; ctest --preset $(PRESET) -j $(JOBS) --output-junit $(CURDIR)/$(BUILD_DIR)/test-results.xml || status=$$?; \
	tests/report-skips.sh $(BUILD_DIR)/test-results.xml; exit $$status

# The core and tovalen.exe cross-built for Windows with mingw-w64, and their
# tests run under Wine, each in a private network namespace with a wine
# server of its own (tests/run-under-wine.sh), tovalen.exe on a display of its
# own (Xvfb) beside tovalen-try's cameras; the Wine prefix is
# build-windows/wineprefix. g++ builds the programs that run on this machine
# (cmake/host_tools.cmake). The installer (nsis, a 64-bit installer) is
# tested too, in a Wine prefix of its own. AR PL UMing, a Song face, stands in
# for SimSun, which a Chinese Windows draws the dialogs in.
WINDOWS_PACKAGES = $(COMMON_PACKAGES) g++-mingw-w64-x86-64-posix googletest wine wine64 xvfb fonts-wine nsis \
  fonts-arphic-uming
test-windows:
	$(MAKE) --no-print-directory test PRESET=windows PACKAGES="$(WINDOWS_PACKAGES)"

# What a Windows user downloads: build-windows/tovalen.exe, tovalen-cli.exe
# and their installer build-windows/tovalen-setup.exe (nsis); the tests are
# not built for it.
windows:
	$(MAKE) --no-print-directory deps PACKAGES="$(WINDOWS_PACKAGES)"
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target installer

# SCREENSHOTS/windows-camera-page.png: tovalen.exe under Wine beside
# tovalen-try's cameras, after a search and a pick (imagemagick's import).
windows-screenshot:
	$(MAKE) --no-print-directory build PRESET=windows PACKAGES="$(WINDOWS_PACKAGES) imagemagick"
	mkdir -p $(SCREENSHOTS)
	tools/lab/tovalen-try --camera build-windows/host/tools/camera/tovalen-camera \
	  env WINEPREFIX=$(CURDIR)/build-windows/wineprefix tests/run-under-wine.sh --display \
	  --screenshot $(abspath $(SCREENSHOTS))/windows-camera-page.png build-windows/tests/win32_tests.exe \
	  --gtest_filter=ProgramTest.FindsTheCamerasInOtherSubnetsAndMovesOneIntoThePcsSubnet

# The program joins the discovery group as soon as it starts. Here it runs in
# a private network of its own beside three simulated cameras in other subnets
# (tools/lab/tovalen-try, no root needed where unprivileged user namespaces
# are allowed); `make run NETNS=` runs it on the real network.
NETNS ?= tools/lab/tovalen-try --camera $(BUILD_DIR)/tools/camera/tovalen-camera
run: TARGETS = tovalen tovalen-camera
run: build
	$(NETNS) $(BUILD_DIR)/qt/tovalen

# Renders the windows to PNG files in SCREENSHOTS on the offscreen platform,
# as the PC of tovalen-try, whose gateway proposes the new address.
screenshots: TARGETS = tovalen-screenshots tovalen-camera
screenshots: build
	mkdir -p $(SCREENSHOTS)
	$(NETNS) $(BUILD_DIR)/tools/screenshots/tovalen-screenshots $(SCREENSHOTS)

# Burst benchmark in a private network namespace; BENCH_RUNS runs per cell.
BENCH_RUNS ?= 10
bench: build
	tests/run-in-netns.sh $(BUILD_DIR)/bench/tovalen-bench $(BENCH_RUNS)

# Address-check benchmark on a link of namespaces with squatters (root).
bench-address: TARGETS = tovalen-address-bench
bench-address: build
	tests/discovery/run-beside-squatters.sh $(BUILD_DIR)/bench/tovalen-address-bench $(BENCH_RUNS)

# Start-up with 1,000 adapters against one, each in namespaces of its own (root).
bench-startup: TARGETS = tovalen-startup-bench
bench-startup: build
	bench/startup.sh $(BUILD_DIR)/bench/tovalen-startup-bench $(BENCH_RUNS)

# build/tovalen_<version>_<arch>.deb; packaging/check-package.sh tests it.
# Only what the package holds is built, then cpack packs it (it builds
# nothing itself: CMAKE_SKIP_INSTALL_ALL_DEPENDENCY).
package: PACKAGES += $(PACKAGING_PACKAGES)
package: TARGETS = tovalen tovalen-cli tovalen-camera compressed_docs
package: build
	cd $(BUILD_DIR) && cpack

# Replays the fuzz corpus, then fuzzes the receive path and the calculator for
# FUZZ_SECONDS each with clang's libFuzzer; build-fuzz/findings/ keeps what broke.
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) build PRESET=fuzz PACKAGES="$(PACKAGES) clang libclang-rt-14-dev"
	tests/fuzz/run.sh build-fuzz $(FUZZ_SECONDS) receive_path_fuzzer calc_fuzzer

clean:
	rm -rf build build-*

# The program on the lab network of tools/lab: cameras in three subnets other
# than the PC's. It opens on this display; the lab goes when it closes. Needs
# root, for the network namespaces.
.PHONY: demo
demo:
	@tools/lab/tovalen-lab check-display
	@$(MAKE) --no-print-directory build
	tools/lab/tovalen-lab --camera $(BUILD_DIR)/tools/camera/tovalen-camera demo $(BUILD_DIR)/qt/tovalen
