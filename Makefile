# The two commands of the README, and the pieces they are made of.
#   make test   install what is missing, build both configurations, run every test
#   make play   build, stage a runnable folder and start the game under Wine
#   make bench  build and run the benchmarks
BUILD      ?= build
NATIVE     := $(BUILD)/native
WIN        := $(BUILD)/win
BENCHB     := $(BUILD)/bench
STAGE      := $(BUILD)/stage
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
MAKEFLAGS  += --no-print-directory

.PHONY: all deps native win assets stage test play bench clean

all: stage

deps:
	@scripts/deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_WERROR=ON >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_WERROR=ON >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

# Generated content: base/ of the game, written by the native asset tool.
assets: native
	@scripts/make-assets.sh $(NATIVE) $(BUILD)/base

stage: win assets
	@scripts/stage.sh $(WIN) $(BUILD)/base $(STAGE)

test: stage
	@scripts/test.sh $(BUILD)

play: stage
	@scripts/play.sh $(WIN) $(STAGE)

bench: deps stage
	@cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DTAV_SANITIZE=OFF >/dev/null
	@cmake --build $(BENCHB) -j $(JOBS)
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
