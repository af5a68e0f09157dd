# Front door: make run | make test | make bench | make clean
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?=

.PHONY: deps configure build run test bench install package clean
PREFIX ?= /usr/local

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/qorvik-notepad $(FILE)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && QT_QPA_PLATFORM=offscreen "$$b"; done

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of an installation under /usr.
package: deps
	@cmake -S . -B $(BUILD)-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build $(BUILD)-package -j $(JOBS) --target qorvik-notepad qorvik-eval
	cd $(BUILD)-package && cpack -G DEB

clean:
	rm -rf $(BUILD) $(BUILD)-package
