# Quick start: `make demo` translates the bundled example; `make check`
# builds and runs every test, also under AddressSanitizer and UBSan.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= 2
EXAMPLE ?= examples/matvec.f

.PHONY: all deps build sanitize-build check test test-sanitize demo bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

sanitize-build: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVEXNOR_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: sanitize-build
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

check: test test-sanitize

demo: build
	scripts/demo.sh $(BUILD) $(EXAMPLE)

bench: build
	cmake --build $(BUILD) --target vexnor_bench_pass2 -j $(JOBS)
	$(BUILD)/vexnor_bench_pass2

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
