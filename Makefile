# Screensaver Setup: build, test and demo from a fresh Debian 12 machine.
#   make test   installs what is missing, builds all three configurations and
#               runs every test (unit tests and the end-to-end tests under Wine)
#   make demo   builds everything, packs the example screensaver and shows
#               what the installer does with it
SHELL := /bin/bash
JOBS ?= 2

PACKAGES := cmake make g++ googletest \
            g++-mingw-w64-x86-64 g++-mingw-w64-i686 \
            wine64 fonts-wine xvfb xauth xdotool imagemagick liblnk-utils \
            osslsigncode openssl

.PHONY: all deps build build-native build-win64 build-win32 test unit demo clean

all: build

# Installs the Debian packages that are missing (does nothing when all are there).
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -qq && apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

build-win64 build-win32 build-native: build-%: deps
	cmake --preset $* >/dev/null
	cmake --build build/$* -j$(JOBS)

# The Windows programs first: the native tests run them under Wine.
build: build-win64 build-win32 build-native

test: build
	ctest --preset native -j$(JOBS)

unit: build-native
	ctest --preset native -j$(JOBS) -L unit

demo: build
	bash tools/demo.sh

clean:
	rm -rf build out
