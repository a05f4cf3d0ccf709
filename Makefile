# Convenience entry points; the real build is CMake.
BUILD ?= build
EXAMPLE ?= examples/blink.bas
# Extra CMake options for `make test`, e.g. -DVENNIK_BUILD_FUZZ=ON (.ci/run).
TEST_OPTIONS ?=

.PHONY: deps test-deps run test bench clean

deps:
	./scripts/install-deps.sh

test-deps:
	./scripts/install-deps.sh --tests

# `make run` builds the two programs only. A build folder made by it has the
# tests switched off; `make test` switches them on in the same folder.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_TESTS=OFF -DVENNIK_BUILD_BENCH=OFF

# The desktop program on the example when there is a display; otherwise the
# same report from the command-line tool.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target vennikplus vennikplus-cli
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/src/desktop/qt/vennikplus $(EXAMPLE); \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): printing the report with vennikplus-cli instead."; \
	  $(BUILD)/src/cli/vennikplus-cli report $(EXAMPLE); \
	fi

test: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_TESTS=ON -DVENNIK_BUILD_BENCH=ON $(TEST_OPTIONS)
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure -j$$(nproc)

bench: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_BENCH=ON
	cmake --build $(BUILD) --target vennikplus-bench vennikplus-lsp-bench
	$(BUILD)/bench/vennikplus-bench

clean:
	rm -rf $(BUILD)
