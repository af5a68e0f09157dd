# Front door: make run | make test | make bench | make clean
# Hardening: make test-asan | make fuzz [FUZZ_SECONDS=60]
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?=
FUZZ_SECONDS ?= 60

.PHONY: deps deps-test configure build program run test bench install package screenshots clean \
        test-asan fuzz
PREFIX ?= /usr/local
# The test set must be in place before CMake looks for the tools of the tests.
.NOTPARALLEL:

# Packages: the run set to build, run and package the editor; the test set
# adds what the tests, the real-window checks, the sanitizers and fuzzing need.
deps:
	@bash scripts/install-deps.sh run

deps-test:
	@bash scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The editor alone, without the test programs.
program: configure
	@cmake --build $(BUILD) -j $(JOBS) --target qorvik-notepad

run: program
	./$(BUILD)/src/qorvik-notepad $(FILE)

test: deps-test build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; fi; \
	done

install: configure
	@cmake --build $(BUILD) -j $(JOBS) --target qorvik-notepad qorvik-eval
	cmake --install $(BUILD) --prefix $(PREFIX)

# The README's pictures, taken from the real program under Xvfb.
screenshots: deps-test program
	bash scripts/screenshots.sh $(BUILD)/src/qorvik-notepad docs

# A Debian package of an installation under /usr.
package: deps
	@cmake -S . -B $(BUILD)-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build $(BUILD)-package -j $(JOBS) --target qorvik-notepad qorvik-eval
	cd $(BUILD)-package && cpack -G DEB

# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and
# leak checks, in build-asan; Qt's own leaks are suppressed.
test-asan: deps-test
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQORVIK_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, built with clang in build-fuzz.
fuzz: deps-test
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORVIK_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-package build-asan build-fuzz
