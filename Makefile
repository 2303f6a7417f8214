# The two everyday commands: `make run` and `make test`. Both install the
# Debian packages they need first (scripts/install-deps).
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
ARGS ?=

RELEASE_DIR := $(BUILD_DIR)/release
TEST_DIR := $(BUILD_DIR)/test
BENCH_DIR := $(BUILD_DIR)/bench
PACKAGE_DIR := $(BUILD_DIR)/package
PREFIX ?= /usr/local
APP_ID := io.halcyra.Halcyra

.PHONY: run test bench build install package deps assets fuzz format clean

run: build
	@scripts/run $(RELEASE_DIR)/halcyra $(ARGS)

build: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALCYRA_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# Installs the game of `make build` under PREFIX; DESTDIR stages it elsewhere.
# Only a missing build is configured here, so that `sudo make install` after
# `make build` leaves the build tree as it was.
install:
	@[ -f $(RELEASE_DIR)/CMakeCache.txt ] || $(MAKE) --no-print-directory build
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)"

# A Debian package of a Release build, in build/package, after its desktop
# entry and metainfo pass their validators.
package: deps
	@scripts/install-deps dpkg-dev file desktop-file-utils appstream
	desktop-file-validate packaging/$(APP_ID).desktop
	appstreamcli validate --no-net packaging/$(APP_ID).metainfo.xml
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DHALCYRA_TESTS=OFF
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DHALCYRA_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	BUILD_DIR=$(BUILD_DIR) JOBS=$(JOBS) fuzz/run
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

# The frame benchmarks end with every room played in a window under Xvfb.
bench: deps
	@scripts/install-deps xvfb xauth libgl1-mesa-dri
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DHALCYRA_TESTS=OFF -DHALCYRA_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	$(BENCH_DIR)/bench/engine_bench
	$(BENCH_DIR)/bench/content_bench
	$(BENCH_DIR)/bench/audio_bench
	$(BENCH_DIR)/bench/light_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
	$(BENCH_DIR)/bench/world_bench
	bench/window-frames $(BENCH_DIR)/halcyra

# A fuzzing campaign of the content loaders: FUZZ_SECONDS each (fuzz/README.md).
FUZZ_SECONDS ?= 600
fuzz: deps
	BUILD_DIR=$(BUILD_DIR) JOBS=$(JOBS) fuzz/run --long $(FUZZ_SECONDS)

# The play-through over and over for SOAK_MINUTES of game time; fails when
# memory grows after the first round (build/soak/soak.csv and soak.png).
.PHONY: soak memcheck
SOAK_MINUTES ?= 30
soak: build
	scripts/soak $(RELEASE_DIR)/halcyra $(BUILD_DIR)/soak $(SOAK_MINUTES)

# The play-through's first rooms under valgrind: no memory error, no definite leak.
memcheck: build
	@scripts/install-deps valgrind
	scripts/memcheck $(RELEASE_DIR)/halcyra $(BUILD_DIR)/memcheck

deps:
	@scripts/install-deps

# Regenerates the committed fonts, textures, sprite sheets and rooms under Assets/,
# and the desktop icon painted from them.
assets: deps
	tools/make-fonts
	tools/make-textures
	tools/make-tiled-project
	tools/make-rooms
	tools/make-journal
	tools/make-intro
	tools/make-house-plan
	tools/make-icons

format:
	clang-format -i $$(find src tests bench fuzz -name '*.cpp' -o -name '*.h')

clean:
	rm -rf $(BUILD_DIR)
