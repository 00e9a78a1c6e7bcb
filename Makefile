# Thin wrapper over the CMake presets.  `make run` and `make test` work on a
# fresh Debian 12 machine: they install what is missing first.
PRESET ?= default
JOBS   ?= 2

.PHONY: all setup configure build run test asan debug bench fuzz clean format

all: build

setup:
	@./scripts/setup.sh

configure:
	@test -f build/$(PRESET)/build.ninja || cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

run: setup build
	./build/$(PRESET)/src/cli/olm demo

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

clean:
	rm -rf build

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')
