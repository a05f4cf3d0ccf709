# Convenience entry points; the real build is CMake.
BUILD ?= build
EXAMPLE ?= examples/blink.bas

.PHONY: deps configure build run test bench clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/vennikplus-cli report $(EXAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure

bench: build
	$(BUILD)/bench/vennikplus-bench

clean:
	rm -rf $(BUILD)
