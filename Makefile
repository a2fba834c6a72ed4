# The two commands of the README, and the pieces they are made of.
#   make test   install what is missing, build both configurations, run every test
#   make play   build, stage a runnable folder and start the game under Wine
#   make bench  build and run the benchmarks
#   make fuzz   run every fuzz harness for a while
#   make soak   restart the game 1000 times and watch the process memory
#   make dist   the Windows zip a player unzips and runs (build/dist/gavo-beta.zip)
BUILD      ?= build
NATIVE     := $(BUILD)/native
WIN        := $(BUILD)/win
BENCHB     := $(BUILD)/bench
FUZZB      := $(BUILD)/fuzz
FUZZ_SECONDS ?= 300
STAGE      := $(BUILD)/stage
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
MAKEFLAGS  += --no-print-directory
# A compiler cache speeds up rebuilds where one is installed (never required).
# Paths are made relative to the checkout, so a fresh clone anywhere reuses
# what an earlier build compiled.
export CCACHE_BASEDIR   := $(CURDIR)
export CCACHE_NOHASHDIR := 1
CCACHE     := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps native win fuzzers assets stage test play bench fuzz soak dist clean

all: stage

deps:
	@scripts/deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_WERROR=ON $(CCACHE) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_WERROR=ON $(CCACHE) >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

# The libFuzzer harnesses: the portable core again, built by clang.
fuzzers: deps
	@cmake -S . -B $(FUZZB) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_FUZZ=ON -DTAV_WERROR=ON $(CCACHE) \
	    -DTAV_GENERATED_BASE=$(abspath $(BUILD)/base) >/dev/null
	@cmake --build $(FUZZB) -j $(JOBS)

# Generated content: base/ of the game, written by the native asset tool.
assets: native
	@scripts/make-assets.sh $(NATIVE) $(BUILD)/base

stage: win assets
	@scripts/stage.sh $(WIN) $(BUILD)/base $(STAGE)

test: stage fuzzers
	@scripts/test.sh $(BUILD)

# Each harness for FUZZ_SECONDS (default 300), then the executions of each.
fuzz: fuzzers assets
	@scripts/fuzz.sh $(FUZZB) $(FUZZ_SECONDS)

soak: stage
	@scripts/soak.sh $(BUILD)

dist: stage
	@scripts/dist.sh $(WIN) $(BUILD)/base $(BUILD)/dist

play: stage
	@scripts/play.sh $(WIN) $(STAGE)

bench: deps stage
	@cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DTAV_SANITIZE=OFF $(CCACHE) >/dev/null
	@cmake --build $(BENCHB) -j $(JOBS)
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
