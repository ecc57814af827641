# Build and test entry points; see README.md.
BUILD ?= build
JOBS ?= $(shell nproc)
# The platform plug-in the caller asked for, before the tests' headless default.
RUN_QPA := $(QT_QPA_PLATFORM)
export QT_QPA_PLATFORM ?= offscreen
# The program keeps its folders and settings beside itself: it runs from a
# folder of its own that must be writable.
PROGRAM_DIR ?= $(BUILD)/program

.PHONY: deps configure build test run asan fuzz bench monkey clean

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: configure
	cmake --build $(BUILD) --target kalmetor -j $(JOBS)
	mkdir -p $(PROGRAM_DIR)
	cp $(BUILD)/src/kalmetor $(PROGRAM_DIR)/kalmetor
	@if [ -z "$(RUN_QPA)" ] && [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: the program is built in $(PROGRAM_DIR), but this machine has no display" >&2; \
	  echo "(neither DISPLAY nor WAYLAND_DISPLAY is set), so its window cannot be shown." >&2; \
	  echo "Run it from a desktop session, or over ssh -X." >&2; \
	  exit 1; \
	fi
	cd $(PROGRAM_DIR) && env $(if $(RUN_QPA),QT_QPA_PLATFORM=$(RUN_QPA),-u QT_QPA_PLATFORM) ./kalmetor

asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	# An undefined-behaviour finding stops the test program, so a test that
	# meets one fails instead of printing it where nobody reads.
	cd build-asan && QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

# Seeded random use of the program on a virtual X server for SECONDS (60)
# with SEED (1): see scripts/monkey. SANITIZE=1 runs the sanitizer build
# (build-asan); REPLAY=<log> does the actions of an earlier run again. Not
# part of make test.
SECONDS ?= 60
SEED ?= 1
SANITIZE ?=
REPLAY ?=
MONKEY_BUILD := $(if $(SANITIZE),build-asan,$(BUILD))
monkey:
	@command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "make monkey: Xvfb and xdotool are needed (scripts/install-deps)" >&2; exit 1; }
	$(if $(SANITIZE),cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON,cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release)
	cmake --build $(MONKEY_BUILD) --target kalmetor -j $(JOBS)
	mkdir -p $(MONKEY_BUILD)/monkey
	./scripts/monkey --program $(MONKEY_BUILD)/src/kalmetor --seconds $(SECONDS) --seed $(SEED) \
	  --log $(MONKEY_BUILD)/monkey/$(if $(REPLAY),replay,seed-$(SEED)).log \
	  $(if $(REPLAY),--replay $(REPLAY)) \
	  $(if $(SANITIZE),--sanitizer-suppressions $(CURDIR)/scripts/lsan.supp --step-timeout 30)

# Every fuzz target for FUZZ_SECONDS (60) under the address and
# undefined-behaviour sanitizers; fails on any finding. Needs clang:
# `scripts/install-deps --fuzz` installs it.
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/install-deps --fuzz
	@command -v clang++ >/dev/null || { echo "make fuzz: clang is not installed (scripts/install-deps --fuzz); the saved corpora still run in make test" >&2; exit 1; }
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz --target fuzz_all -j $(JOBS)
	./scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

# Every benchmark program (bench/), each against its peers in one run; fails
# when any ratio is past its limit. Not part of `make test`: timings need a
# quiet machine. BENCH_FILTER narrows the benchmarks run.
BENCH_FILTER ?=
bench: configure
	cmake --build $(BUILD) --target benches -j $(JOBS)
	./scripts/run-benches $(BUILD) $(BENCH_FILTER)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
