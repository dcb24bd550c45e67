# The two commands of the README, and a few more for developers.
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Each fuzz target's run in `make fuzz`, in seconds.
FUZZ_SECONDS ?= 30
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test wintest asan fuzz monkey bench assets install package package-test clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

# The Qt-free core and its unit tests as Windows programs (MinGW-w64), run under Wine, and the
# settings store checked against Windows' own INI functions (in build-win/).
wintest:
	@scripts/install-deps.sh windows
	@JOBS=$(JOBS) scripts/wintest.sh build-win

# The whole test suite, the end-to-end tests included, built and run under AddressSanitizer and
# UndefinedBehaviorSanitizer (the "asan" preset, with clang, in build-asan/).
asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

# The fuzz targets of the "asan" preset, each run for FUZZ_SECONDS.
fuzz: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan --target fuzz_ini fuzz_moon fuzz_userimage
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh build-asan

# A restless user for MONKEY_SECONDS: random real actions on the "asan" build of the program under
# Xvfb with a notification area, each followed by the checks that must always hold
# (tests/monkey/monkey.py). MONKEY_SEED chooses the same actions as the run that printed it.
MONKEY_SECONDS ?= 120
MONKEY_SEED ?=
monkey: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan --target velmorax moondata_table
	@MONKEY_SECONDS=$(MONKEY_SECONDS) MONKEY_SEED=$(MONKEY_SEED) python3 tests/monkey/monkey.py build-asan/velmorax

bench: build
	@scripts/bench.sh $(BUILD)

assets: configure
	@cmake --build $(BUILD) --target assets

# Installs the program, its help page, menu entry, icons, metadata and manual pages under PREFIX.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, $(BUILD)/velmorax_<version>_<arch>.deb, from the tree built above.
package: build
	@cmake --build $(BUILD) --target package

# The package end to end, as root: lintian, dpkg -i, the installed program run by an
# unprivileged user under Xvfb, dpkg -r (tests/e2e/package.sh).
package-test: build
	@tests/e2e/xvfb-run.sh tests/e2e/package.sh $(BUILD)

clean:
	@rm -rf $(BUILD) build-asan build-win
