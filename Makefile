# Thin wrapper over the CMake presets.  `make run` and `make test` work on a
# fresh Debian 12 machine: they install what is missing first.
PRESET ?= default
JOBS   ?= 2

.PHONY: all setup configure build run test asan debug bench fuzz clean format install package screenshots

all: build

setup:
	@./scripts/setup.sh

configure:
	@test -f build/$(PRESET)/build.ninja || cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

# The demo's outputs go to build/demo; its project then opens in the desktop
# program when a display is available.
run: setup build
	./build/$(PRESET)/src/cli/olm demo build/demo
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	  ./build/$(PRESET)/src/app/olm-desktop build/demo/tensile.olm; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the demo's outputs are in build/demo;"; \
	  echo "open build/demo/tensile.olm with build/$(PRESET)/src/app/olm-desktop on a desktop."; \
	fi

test: setup build
	ctest --preset $(PRESET)

asan:
	$(MAKE) test PRESET=asan

debug:
	$(MAKE) test PRESET=debug

bench: setup
	$(MAKE) build PRESET=default
	./scripts/run-benchmarks.sh

fuzz: setup
	$(MAKE) build PRESET=fuzz

install: build
	cmake --install build/$(PRESET)

package: build
	cd build/$(PRESET) && cpack -G DEB

screenshots: build
	./scripts/screenshots.sh build/$(PRESET)

clean:
	rm -rf build

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')
