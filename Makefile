# The two set-up commands are `make run` and `make test`; everything else is for developers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60

# Debian 12 packages the build and the tests need: the window's Qt 6, Qt's own translations and
# its fonts (DejaVu for Latin, Noto CJK for both Chinese scripts), Xvfb and xprop for running it
# without a screen, and libwayland, the Wayland protocols and Qt's private platform headers for the
# compositor's keyboard shortcuts; libxcb for the monitor's focus watcher.
DEB_PACKAGES = cmake make g++ pkgconf libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev \
	libxcb1-dev qt6-base-dev qt6-base-private-dev qt6-svg-dev libwayland-dev wayland-protocols \
	fonts-dejavu-core fonts-noto-cjk qt6-translations-l10n xvfb xauth x11-utils \
	desktop-file-utils appstream dpkg-dev file procps
FUZZ_PACKAGES = clang libclang-rt-14-dev
WIN_PACKAGES = g++-mingw-w64-x86-64 wine64 googletest libcli11-dev nlohmann-json3-dev cmake make xvfb xauth
WIN_BUILD ?= build-windows
# The window for Windows: a static Qt for Windows built once per machine from Debian's source of the
# host's Qt, kept outside the source tree; then the window and its tests cross-built against it.
QT_WIN        ?= $(HOME)/.cache/bvconfig/qt-windows-6.4.2
WIN_GUI_BUILD ?= build-windows-gui
QT_WIN_PACKAGES = ninja-build dpkg-dev perl qt6-base-dev qt6-svg-dev

.PHONY: all deps fuzz-deps windows-deps build test test-asan test-tsan run fuzz-build fuzz fuzz-long windows windows-test windows-gui windows-gui-test format format-check clean package stress

all: build

deps:
	@bash .ci/install-deps $(DEB_PACKAGES)

fuzz-deps:
	@bash .ci/install-deps $(FUZZ_PACKAGES)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package of the build (installs into /usr): $(BUILD)/bvconfig_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

# Saving bvctl processes killed 1,000 times at random moments; prints the counts (not in CI).
STRESS_RUNS ?= 1000
stress: build
	bash tests/stress/kill_saves.sh $(BUILD)/bvctl $(STRESS_RUNS)

# Core and command-line tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBV_SANITIZE=ON -DBV_BUILD_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L 'core|cli'

# Core and command-line tests again under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBV_TSAN=ON -DBV_BUILD_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L 'core|cli'

# Starts bvconfig on the virtual mouse; the mouse and the settings stay in $(BUILD)/run.
run: build
	@bash scripts/run-demo $(BUILD)

fuzz-build: deps fuzz-deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBV_FUZZ=ON -DBV_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@set -e; for t in $(FUZZ_BUILD)/fuzz_*; do \
	  [ -x "$$t" ] || continue; name=$$(basename $$t); \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_BUILD)/$$name- \
	      $(FUZZ_BUILD)/corpus/$$name fuzz/corpus/$$name; \
	done

# Every fuzz target (or those named in FUZZ_TARGETS) for FUZZ_RUNS executions each (default ten
# million); prints each target's last status line (executions, coverage, corpus).
FUZZ_RUNS ?= 10000000
FUZZ_TARGETS ?= $(notdir $(wildcard fuzz/fuzz_*.cpp))
fuzz-long: fuzz-build
	@set -e; for t in $(addprefix $(FUZZ_BUILD)/,$(basename $(FUZZ_TARGETS))); do \
	  [ -x "$$t" ] || continue; name=$$(basename $$t); \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "== $$name ($(FUZZ_RUNS) runs)"; \
	  log=$(FUZZ_BUILD)/$$name.log; \
	  $$t -runs=$(FUZZ_RUNS) -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/$$name- \
	      $(FUZZ_BUILD)/corpus/$$name fuzz/corpus/$$name >$$log 2>&1 || { tail -40 $$log; exit 1; }; \
	  grep -E '^(#[0-9]+.*(DONE|pulse)|Done|stat::number_of_executed_units|stat::new_units_added)' $$log | tail -4; \
	done

windows-deps:
	@bash .ci/install-deps $(WIN_PACKAGES)

# Windows executables cross-built with MinGW-w64, without the window (that is windows-gui).
windows: windows-deps
	bash scripts/windows-sysroot $(WIN_BUILD)/sysroot
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DBV_BUILD_GUI=OFF -DGTest_DIR=$(abspath $(WIN_BUILD))/sysroot/lib/cmake/GTest \
	  -DCLI11_INCLUDE_DIR=$(abspath $(WIN_BUILD))/sysroot/include \
	  -DNLOHMANN_JSON_INCLUDE_DIR=$(abspath $(WIN_BUILD))/sysroot/include
	cmake --build $(WIN_BUILD) -j $(JOBS)

windows-test: windows
	bash scripts/windows-test $(WIN_BUILD)

# bvconfig.exe, bvmon.exe and the GUI tests, fully static. The pictures are rendered and the
# language file built by the host build's tools, since the Windows Qt has no SVG module.
windows-gui: windows-deps deps $(BUILD)/CMakeCache.txt
	@bash .ci/install-deps $(QT_WIN_PACKAGES)
	bash scripts/windows-sysroot $(WIN_BUILD)/sysroot
	bash scripts/qt-windows $(QT_WIN)
	cmake --build $(BUILD) --target bvconfig-render-images bvctl -j $(JOBS)
	cmake -S . -B $(WIN_GUI_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(QT_WIN)/lib/cmake/Qt6/qt.toolchain.cmake \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64.cmake) -DCMAKE_BUILD_TYPE=Release \
	  -DBV_RENDER_IMAGES=$(abspath $(BUILD))/bvconfig-render-images -DBV_HOST_BVCTL=$(abspath $(BUILD))/bvctl \
	  -DGTest_DIR=$(abspath $(WIN_BUILD))/sysroot/lib/cmake/GTest \
	  -DCLI11_INCLUDE_DIR=$(abspath $(WIN_BUILD))/sysroot/include \
	  -DNLOHMANN_JSON_INCLUDE_DIR=$(abspath $(WIN_BUILD))/sysroot/include
	cmake --build $(WIN_GUI_BUILD) -j $(JOBS) --target bvconfig bvmon bvgui_tests

windows-gui-test: windows-gui
	bash scripts/windows-gui-test $(WIN_GUI_BUILD)

FORMAT_FILES = find src tests fuzz bench packaging \( -name '*.cpp' -o -name '*.h' \) -print0

format:
	$(FORMAT_FILES) | xargs -0 clang-format -i

# Fails, naming them, when files do not match .clang-format.
format-check:
	@bash .ci/install-deps clang-format
	@$(FORMAT_FILES) | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) $(WIN_GUI_BUILD)
