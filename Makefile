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

# The desktop program on the example when there is a display; otherwise the
# same report from the command-line tool.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/src/app/vennikplus $(EXAMPLE); \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): printing the report with vennikplus-cli instead."; \
	  $(BUILD)/src/app/vennikplus-cli report $(EXAMPLE); \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure

bench: build
	$(BUILD)/bench/vennikplus-bench

clean:
	rm -rf $(BUILD)
