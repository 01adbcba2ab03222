# Two commands matter: `make run` and `make test`. Everything else is a step of those.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1280x720x24 -noreset"
# Tests open windows: without a display they run under a virtual X server.
HEADLESS   := $(if $(DISPLAY),,$(XVFB))
# OpenAL opens a silent device in tests, so machines without a sound card pass.
TESTENV    := ALSOFT_DRIVERS=null
# The leak checker must see Mesa's software driver to skip its own leaks, so the driver is
# preloaded and never unloaded before the report.
MESA_SW    := $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
ASANENV    := ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
              LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
              $(if $(MESA_SW),LD_PRELOAD=$(MESA_SW))
FUZZ_BUILD ?= build-fuzz
# The settings fuzzer stops at whichever limit comes first.
FUZZ_RUNS  ?= 1000000
FUZZ_TIME  ?= 25
# Extra options for `make bench`, e.g. BENCH_ARGS=--draw-frames=100.
BENCH_ARGS ?=
# Simulated minutes of random play for `make soak`.
SOAK_MINUTES ?= 30
# Where `make install` puts the game (bin/ and share/ below it); DESTDIR is honoured as usual.
PREFIX     ?= /usr/local
# The Windows build: its libraries, the game, the zip and the installer (make windows).
WINDOWS    ?= build-windows
WINE       := /usr/lib/wine/wine64
WINESERVER := /usr/lib/wine/wineserver64
# The wine prefix the black-box cases copy, and the unit tests' own copy of it: a case's copy
# then never takes what a unit test left in its prefix (the player's settings).
WINETEMPLATE := $(CURDIR)/$(WINDOWS)/wineprefix
UNITPREFIX := $(CURDIR)/$(WINDOWS)/wineprefix-units
WINEOPTIONS := WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# The unit tests find the libraries' DLLs through WINEPATH, as they are not beside them.
WINEENV    := WINEPREFIX=$(UNITPREFIX) $(WINEOPTIONS) WINEPATH=Z:$(CURDIR)/$(WINDOWS)/deps/prefix/bin
# Every time stamp the build writes (the package's files and archives) is the last commit's,
# or the newest changelog entry's outside a git clone, so one source gives the same bytes.
ifndef SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH := $(or $(shell git log -1 --format=%ct 2>/dev/null),\
                      $(shell dpkg-parsechangelog -l debian/changelog -STimestamp 2>/dev/null))
endif
export SOURCE_DATE_EPOCH

.PHONY: all deps configure build asan run test soak fuzz bench install package source-package \
        reproducible chroot-package portable test-portable test-trixie sheet-preview \
        windows-deps windows test-windows clean

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
	cd $(ASAN_BUILD) && $(TESTENV) $(HEADLESS) env $(ASANENV) ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz
	cd $(BUILD) && $(TESTENV) $(HEADLESS) ./skywaltz_bench --smoke --csv=bench-smoke.csv

# Frame cost against the size of the world: prints the table and writes bench.csv into the
# build tree. A measurement, not a test; a few minutes on two cores.
bench: build
	cd $(BUILD) && $(TESTENV) $(HEADLESS) ./skywaltz_bench --csv=bench.csv $(BENCH_ARGS)

# Half an hour of random play in the sanitised build; it reports errors, planets and leaks.
soak: asan
	cd $(ASAN_BUILD) && $(TESTENV) $(HEADLESS) env $(ASANENV) SKYWALTZ_SOAK_MINUTES=$(SOAK_MINUTES) ./tests/soak/skywaltz_soak

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in the build tree, laid out as Debian's games are (/usr/games,
# /usr/share/games/skywaltz), installable with `apt install ./skywaltz_*.deb`.
# The archive's members take the modes of files CPack writes, so the umask is fixed, as
# dpkg-buildpackage fixes it.
package: build
	cd $(BUILD) && umask 022 && cpack -G DEB

# What a distribution builds from: the .dsc, the upstream tarball and debian/, of the last commit.
source-package: deps
	sh scripts/source-package $(BUILD)/source-package

# Builds the package twice from the last commit in two scratch folders and compares the bytes;
# three minutes on two quiet cores, twenty on busy ones.
reproducible: deps
	JOBS=$(JOBS) sh scripts/check-reproducible

# The chroot targets keep their debootstrapped bases here between runs.
CHROOT_CACHE ?= $(BUILD)/chroot-cache

# The source package built in a fresh Debian chroot and checked by lintian; needs root.
# SUITE=trixie builds it for Debian 13 (SFML 2.6) instead of Debian 12.
SUITE      ?= bookworm
chroot-package: deps
	SUITE=$(SUITE) CACHE=$(CHROOT_CACHE) sh scripts/build-in-chroot $(BUILD)/chroot-$(SUITE)

# The game for every Linux desktop without apt, $(BUILD)/skywaltz-<version>-linux-x86_64.tar.gz,
# built in a Debian 11 chroot so that it runs on glibc 2.31 and later; needs root.
portable: deps
	CACHE=$(CHROOT_CACHE) sh scripts/build-portable $(BUILD)

# The portable archive played in clean chroots of Debian 11, 12 and 13 that hold only a
# minimal desktop; needs root. Slow, so not part of `make test`. An archive already built is
# played as it is (`make portable` first to play a new one).
PORTABLE_ARCHIVE = $(wildcard $(BUILD)/skywaltz-*-linux-x86_64.tar.gz)
test-portable: $(if $(PORTABLE_ARCHIVE),,portable)
	for suite in bullseye bookworm trixie; do \
	  CACHE=$(CHROOT_CACHE) sh scripts/play-in-chroot $$suite \
	    $$(ls -t $(BUILD)/skywaltz-*-linux-x86_64.tar.gz | head -n 1) $(BUILD)/portable/$$suite \
	    || exit 1; \
	done

# Debian 13's package: built in a fresh trixie chroot, installed with apt into another clean
# one and played there; needs root. Slow, so not part of `make test`. The cases played try on
# SFML 2.6 what the game does around SFML 2.5's window faults, and the keys, which SFML 2.6
# reads anew.
TRIXIE_CASES = blackbox.pause_menu blackbox.window blackbox.walking desktop.openbox \
               desktop.wide_screen
test-trixie: deps
	$(MAKE) --no-print-directory chroot-package SUITE=trixie
	CASES="$(TRIXIE_CASES)" CACHE=$(CHROOT_CACHE) sh scripts/play-in-chroot trixie \
	  $$(ls $(BUILD)/chroot-trixie/skywaltz_*.deb | grep -v dbgsym) $(BUILD)/chroot-trixie/play

# New inputs go to the build tree; the committed corpus only seeds the run.
fuzz: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/settings_fuzz -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_TIME) -dict=fuzz/settings.dict \
	  -artifact_prefix=$(FUZZ_BUILD)/ \
	  $(FUZZ_BUILD)/corpus fuzz/corpus/settings

# The libraries, fetched and cross-built once into $(WINDOWS)/deps; a second run reuses them.
windows-deps: deps
	JOBS=$(JOBS) sh scripts/windows-deps $(WINDOWS)/deps

$(WINDOWS)/game/CMakeCache.txt: | windows-deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(WINDOWS)/game -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DSKYWALTZ_BENCH=OFF -DSKYWALTZ_CONTENT=OFF \
	  -DSKYWALTZ_HOST_BUILD=$(CURDIR)/$(BUILD) -DSKYWALTZ_PACKAGE_DIR=$(CURDIR)/$(WINDOWS) \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/tests/windows/wine-run

# The content is generated by the native build's tools; the packages land in $(WINDOWS)/.
windows: windows-deps $(BUILD)/CMakeCache.txt $(WINDOWS)/game/CMakeCache.txt
	cmake --build $(BUILD) --target content -j $(JOBS)
	cmake --build $(WINDOWS)/game --target windows-setup -j $(JOBS)

# The unit tests and the black-box cases, all under wine on virtual X servers. A unit test that
# ctest stops leaves its Windows process behind, so the unit tests' wine session ends with ctest.
test-windows: windows
	cmake --build $(WINDOWS)/game -j $(JOBS)
	WINEPREFIX=$(WINETEMPLATE) $(WINEOPTIONS) $(XVFB) $(WINE) wineboot -i
	WINEPREFIX=$(WINETEMPLATE) $(WINESERVER) -w
	rm -rf $(WINETEMPLATE)/drive_c/users/*/AppData/Roaming/SKYWALTZ
	rm -rf $(UNITPREFIX) && cp -a $(WINETEMPLATE) $(UNITPREFIX)
	cd $(WINDOWS)/game && $(WINEENV) $(TESTENV) $(XVFB) ctest --output-on-failure -j $(JOBS); \
	  status=$$?; WINEPREFIX=$(UNITPREFIX) $(WINESERVER) -k; exit $$status

sheet-preview: build
	cmake --build $(BUILD) --target sheet-preview

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WINDOWS)/game
