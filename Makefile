# Front door: make run | test | build | soak | bench | install | package | windows | package-windows
.PHONY: all deps deps-package deps-test build release run install uninstall package \
        test test-default test-asan test-tsan test-package test-macos fuzz test-soak soak bench clean \
        windows test-windows package-windows

CTEST_FLAGS ?= --output-on-failure -j2 --timeout 600
# Seconds of fuzzing in all, shared by the fuzz targets.
FUZZ_SECONDS ?= 30
PREFIX ?= /usr/local
SOAK_SECONDS ?= 600

# On a Mac, Apple's clang has no LeakSanitizer and no libFuzzer, and the
# .deb and the soak (test network, Xvfb) are Linux's; Linux checks what it
# can of the Mac build instead, and runs the Windows build under Wine.
ifeq ($(shell uname -s),Darwin)
DARWIN := 1
ASAN_LEAKS := detect_leaks=0
PLATFORM_SUITES :=
else
ASAN_LEAKS := detect_leaks=1
PLATFORM_SUITES := test-package test-soak test-macos test-windows
endif

all: build

# Running needs the compiler and the X11 headers; packaging and testing more.
deps:
	@scripts/install-deps run

deps-package:
	@scripts/install-deps package

deps-test:
	@scripts/install-deps test

# The developer build: the program, its tests and the benchmarks.
build: deps-test
	@cmake --preset default >/dev/null
	@cmake --build --preset default

# What users run and install: optimised, no tests.
release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

run: release
	@build-release/bin/tessevar

# make install PREFIX=$HOME/.local (DESTDIR is honoured too). What was
# installed is listed inside the prefix, so make uninstall with the same
# PREFIX needs no build folder (scripts/install-tessevar).
# Under sudo an existing build is installed as it is, so that no file of the
# tree becomes root's.
install:
	@if [ "$$(id -u)" -ne 0 ] || [ ! -x build-release/bin/tessevar ]; then $(MAKE) --no-print-directory release; fi
	@DESTDIR="$(DESTDIR)" scripts/install-tessevar install build-release "$(PREFIX)"

uninstall:
	@DESTDIR="$(DESTDIR)" scripts/install-tessevar uninstall "$(PREFIX)"

ifdef DARWIN
package:
	@echo "make package builds the Debian package, on Linux; on a Mac use make install"; exit 1
else
# MAINTAINER="Name <address>" and HOMEPAGE=URL name them in the package.
package: deps-package release
	@cmake --preset release $(if $(MAINTAINER),-DTESSEVAR_MAINTAINER="$(MAINTAINER)") $(if $(HOMEPAGE),-DTESSEVAR_HOMEPAGE="$(HOMEPAGE)") >/dev/null
	@cmake --build --preset release --target package
endif

test: deps-test test-default test-asan test-tsan fuzz $(PLATFORM_SUITES)
	@echo "make test: every suite passed"

test-default: build
	cd build && ctest $(CTEST_FLAGS)

test-asan: deps-test
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	cd build-asan && ASAN_OPTIONS=$(ASAN_LEAKS):abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest $(CTEST_FLAGS)

test-tsan: deps-test
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp ctest $(CTEST_FLAGS)

test-package: package
	@scripts/check-package build-release

# Windows, cross-built with MinGW-w64 into build-win (build-win/bin). Its
# suites run under Wine on a private Xvfb; then the whole program end to end
# in the test network, driven by a program of the Linux build.
windows: deps-test
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test-windows: windows
	@cmake --preset default >/dev/null
	@cmake --build --preset default --target windows_e2e_tests
	@scripts/wine-tests build-win $(CTEST_FLAGS)
	@scripts/testnet exec -- build/bin/windows_e2e_tests

# The zip for Windows users: build-win/tessevar-VERSION-windows-x64.zip.
package-windows: windows
	@cmake --build --preset windows --target package-windows

# The macOS build as far as it can be checked without a Mac.
test-macos: deps-test
	@scripts/check-macos build-macos-check

fuzz: deps-test
ifdef DARWIN
	@if cxx=$$(scripts/fuzzing-clang); then \
	  cmake --preset fuzz -DCMAKE_CXX_COMPILER="$$cxx" -DCMAKE_OBJCXX_COMPILER="$$cxx" >/dev/null && cmake --build --preset fuzz && \
	  scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS); \
	else echo "fuzz: skipped, no clang with libFuzzer here (Apple's has none; brew install llvm brings one)"; fi
else
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS)
endif

# A short soak in every test run; `make soak` runs the long one.
test-soak: build
	@scripts/run-soak build/bin 60

soak: build
	@scripts/run-soak build/bin $(SOAK_SECONDS)

bench: build
	@scripts/run-benchmarks build/bin

clean:
	rm -rf build build-release build-asan build-tsan build-fuzz build-macos-check build-win
