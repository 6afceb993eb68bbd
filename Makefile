# Screensaver Setup: build, test and demo from a fresh Debian 12 machine.
#   make test   installs what is missing, builds all three configurations and
#               runs every test (unit tests, the end-to-end tests under Wine,
#               each fuzz harness briefly); on a machine that cannot run
#               32-bit code the i686 tests are skipped, and the last lines
#               say how many and why
#   make release-check  the i686 tests, which must run and pass here
#   make demo   builds everything, packs the example screensaver and shows
#               what the installer does with it
#   make dist   the release packages in build/dist: saverpack_VERSION_amd64.deb,
#               a Linux .tar.gz and the Windows .zip
SHELL := /bin/bash
JOBS ?= 2

PACKAGES := cmake make g++ googletest \
            g++-mingw-w64-x86-64 g++-mingw-w64-i686 \
            wine64 fonts-wine fonts-ipafont-gothic xvfb xauth xdotool imagemagick liblnk-utils \
            osslsigncode openssl locales debootstrap python3-yaml python3-jsonschema dpkg-dev lintian \
            libfuse3-dev fuse3 clang libfuzzer-14-dev \
            nlohmann-json3-dev

.PHONY: all deps deps-apt deps-wow64 build build-native build-win64 build-win32 build-win32-unit \
        build-native-asan test unit fuzz release-check demo bench dist clean

all: build

deps: deps-apt deps-wow64

# Installs the Debian packages that are missing (does nothing when all are there).
deps-apt:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -qq && apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

# The 32-bit Wine environment that runs the i686 programs, a Debian trixie
# chroot in WOW64_ROOT (outside the repository, shared by every clone; about
# a minute and 1.8 GB the first time, nothing afterwards).
WOW64_ROOT ?= /var/cache/scrsetup/wine-wow64
deps-wow64: deps-apt
	@WOW64_ROOT=$(WOW64_ROOT) bash tests/e2e/wow64/make_env.sh

build-win64 build-win32 build-win32-unit build-native: build-%: deps-apt
	cmake --preset $* >/dev/null
	cmake --build build/$* -j$(JOBS)

# The Windows programs first: the native tests run them under Wine.
build: deps build-win64 build-win32 build-win32-unit build-native

# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer:
# only unit_tests and the saverpack tool they run.
build-native-asan: deps
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan -j$(JOBS)

# Each fuzz harness runs FUZZ_TEST_SECONDS over its seeds and kept findings.
# The last lines name the tests that were skipped and why.
FUZZ_TEST_SECONDS ?= 10
test: build build-native-asan
	ctest --preset native -j$(JOBS) --output-junit results.xml
	ctest --preset native-asan -j$(JOBS)
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_TEST_SECONDS)
	@python3 tests/skipped_tests.py build/native/results.xml

# What ships is the i686 stub: before a release, its tests must run and pass
# on a machine that runs 32-bit code. Here a skip is a failure.
release-check: build
	E2E_REQUIRE_32BIT=1 ctest --preset native -j$(JOBS) --no-tests=error -R '_i686$$'

unit: build-native
	ctest --preset native -j$(JOBS) -L unit

# libFuzzer harnesses (tests/fuzz), each run for FUZZ_SECONDS from the seed
# corpus in build/fuzz/corpus, which keeps what they learn, after the inputs
# that once broke it (tests/fuzz/regressions/NAME, read only). An input that
# breaks one is left in build/fuzz/findings; keep it in regressions/ once
# the fault is mended.
FUZZ_SECONDS ?= 60
# Every tests/fuzz/NAME_fuzzer.cc is a harness (tests/fuzz/CMakeLists.txt reads the same).
FUZZ_HARNESSES := $(patsubst tests/fuzz/%_fuzzer.cc,%,$(sort $(wildcard tests/fuzz/*_fuzzer.cc)))
fuzz: deps-apt
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz -j$(JOBS) --target fuzz_all
	build/fuzz/bin/fuzz_seed_corpus build/fuzz/corpus
	@mkdir -p build/fuzz/findings
	@for h in $(FUZZ_HARNESSES); do \
	  build/fuzz/bin/fuzz_$$h -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	      -artifact_prefix=build/fuzz/findings/$$h- build/fuzz/corpus/$$h \
	      $$(ls -d tests/fuzz/regressions/$$h 2>/dev/null) >build/fuzz/$$h.log 2>&1 \
	    || { tail -n 60 build/fuzz/$$h.log; echo "fuzz_$$h: FAILED (log: build/fuzz/$$h.log)"; exit 1; }; \
	  echo "fuzz_$$h: $$(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' build/fuzz/$$h.log)"; \
	done

demo: build
	bash tools/demo.sh

# Benchmarks that print figures beside their references (bench/run.sh; see
# docs/performance.md). BENCH_LARGE=1 adds the 1 GiB silent installation
# under Wine, which takes minutes and 3+ GiB of disk.
bench: PACKAGES += time e2fsprogs
bench: build
	bash bench/run.sh

# The release packages (packaging/): saverpack with both stubs, for Linux
# (.deb, .tar.gz) and Windows (.zip, the i686 saverpack.exe).
dist: build-win64 build-win32 build-native
	bash packaging/pack.sh build/dist build/native build/win32
	@ls -l build/dist

clean:
	rm -rf build out
