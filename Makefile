# Front door: make build | run | test | soak | bench
.PHONY: all deps build run test test-default test-asan test-tsan fuzz test-soak soak bench clean

CTEST_FLAGS ?= --output-on-failure -j2 --timeout 600
FUZZ_SECONDS ?= 20
SOAK_SECONDS ?= 600

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
	@build/bin/tessevar

test: deps test-default test-asan test-tsan fuzz test-soak
	@echo "make test: every suite passed"

test-default: build
	cd build && ctest $(CTEST_FLAGS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest $(CTEST_FLAGS)

test-tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest $(CTEST_FLAGS)

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS)

# A short soak in every test run; `make soak` runs the long one.
test-soak: build
	@scripts/run-soak build/bin 60

soak: build
	@scripts/run-soak build/bin $(SOAK_SECONDS)

bench: build
	@scripts/run-benchmarks build/bin

clean:
	rm -rf build build-asan build-tsan build-fuzz
