# Quick start: `make demo` translates the bundled example; `make check`
# builds and runs every test, also under AddressSanitizer and UBSan.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= 2
EXAMPLE ?= examples/matvec.f

# `make format` lays out the lines changed since FORMAT_BASE with
# .clang-format; `make tidy` adds the braces .clang-tidy asks for to the
# sources and headers under TIDY_PATHS.
FORMAT_BASE ?= main
TIDY_PATHS ?= src tests bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 3600
# Extra libFuzzer options, e.g. FUZZ_FLAGS="-fork=1 -ignore_crashes=1" to go
# on after a finding.
FUZZ_FLAGS ?=

.PHONY: all deps build sanitize-build check test test-sanitize demo bench fuzz clean format tidy

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

# Benchmarks, never tests: the translator against gfortran -fsyntax-only and
# cat on generated inputs (bench/README.md), then Pass 2 alone.
bench: build
	cmake --build $(BUILD) --target vexnor_make_stress vexnor_make_realistic vexnor_bench_pass2 -j $(JOBS)
	bench/run.sh $(BUILD)
	$(BUILD)/vexnor_bench_pass2

format:
	git clang-format $(FORMAT_BASE) -- src tests bench

empty :=
space := $(empty) $(empty)
tidy:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet -fix -format \
	  -header-filter='$(CURDIR)/($(subst $(space),|,$(strip $(TIDY_PATHS))))/' \
	  $(addprefix $(CURDIR)/,$(addsuffix /,$(TIDY_PATHS)))

# Long fuzzing run of the whole translator (clang, libFuzzer, ASan, UBSan).
# New inputs go to $(FUZZ_BUILD)/corpus, findings to $(FUZZ_BUILD)/findings;
# copy a fixed finding into fuzz/corpus so that `make check` replays it.
fuzz:
	scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXNOR_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target vexnor_fuzz -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	$(FUZZ_BUILD)/vexnor_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	  -max_len=8192 -dict=fuzz/vexnor.dict -artifact_prefix=$(FUZZ_BUILD)/findings/ $(FUZZ_FLAGS) \
	  $(FUZZ_BUILD)/corpus fuzz/corpus examples tests/e2e

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
