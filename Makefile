# Framewick: a small screen-capture utility for 32-bit Windows.
#
#   make run    install what is missing, build, start Framewick (under Wine on Linux)
#   make test   install what is missing, build, run every test (native and end-to-end), headless
#
# Other targets: deps, build, unit, e2e, soak, bench, fuzz, release, clean.

SHELL := /bin/bash
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Where everything is built, run and tested: `make BUILD=dir test`.
BUILD ?= build
# The scripts take it from here.
export FW_BUILD := $(abspath $(BUILD))
# The Wine engine: the host's (Debian 12's Wine 8) unless WINE=10 asks for
# Wine 10 from its Debian 13 root (`make run WINE=10`, `make e2e WINE=10`);
# `make test` runs the end-to-end tests under both, `make test WINE=10` under
# that one only.
ifneq ($(filter 8 10,$(WINE)),)
export FW_WINE := $(WINE)
export FW_ENGINES := $(WINE)
endif
unexport WINE
CMAKE_WIN = cmake -S . -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build native windows i686 x86_64 run test unit e2e soak bench fuzz fuzz-build release clean

all: build

deps:
	@./scripts/install-deps.sh

native:
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j$(JOBS)
	@cmake -S . -B $(BUILD)/native-sanitize -DCMAKE_BUILD_TYPE=Debug -DFW_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/native-sanitize -j$(JOBS)

i686:
	@$(CMAKE_WIN) -B $(BUILD)/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake >/dev/null
	@cmake --build $(BUILD)/i686 -j$(JOBS)

x86_64:
	@$(CMAKE_WIN) -B $(BUILD)/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build $(BUILD)/x86_64 -j$(JOBS)

windows: i686 x86_64

# libFuzzer targets (clang): a short run is part of `make test`; `make fuzz`
# runs each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 600
fuzz-build:
	@cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DFW_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j$(JOBS) --target fuzzers

fuzz: deps fuzz-build
	@./scripts/fuzz.sh $(FUZZ_SECONDS)

build: deps native windows

run: deps windows
	@./scripts/run.sh

unit: native
	@./scripts/test.sh unit

e2e: windows
	@./scripts/test.sh e2e

# 10,000 hotkey captures with automatic saving in one run of the program,
# and 1,000 with the program killed inside its saves.
SOAK_CAPTURES ?= 10000
KILL_CAPTURES ?= 1000
soak: deps windows
	@FW_SOAK_CAPTURES=$(SOAK_CAPTURES) FW_KILL_CAPTURES=$(KILL_CAPTURES) ./scripts/test.sh soak

test: deps native windows fuzz-build
	@./scripts/test.sh all

bench: deps windows
	@./scripts/bench.sh

release: deps windows
	@./scripts/release.sh

# A test run that was cut short may leave servers, immutable directories and
# a small file system behind; the script undoes them first.
clean:
	@./scripts/clean.sh
