# Two commands matter: `make run` and `make test`. Everything else is a step of those.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1280x720x24"
# Tests open windows: without a display they run under a virtual X server.
HEADLESS   := $(if $(DISPLAY),,$(XVFB))
# OpenAL opens a silent device in tests, so machines without a sound card pass.
TESTENV    := ALSOFT_DRIVERS=null

.PHONY: all deps configure build asan run test sheet-preview clean

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSKYWALTZ_SANITIZE=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./skywaltz

test: build asan
	cd $(BUILD) && $(TESTENV) $(HEADLESS) ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && $(TESTENV) ASAN_OPTIONS=detect_leaks=1 $(HEADLESS) ctest --output-on-failure -j $(JOBS)

sheet-preview: build
	cmake --build $(BUILD) --target sheet-preview

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
