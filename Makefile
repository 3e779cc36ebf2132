# Everything a developer or CI needs: make, make test, make demo, make package, make fuzz.
# BUILD selects the build tree (helpers working side by side use their own).
BUILD ?= build
JOBS ?= 2
FUZZ_SECONDS ?= 60
# Empty: a fresh random seed per run. CI fixes it so that a run can be replayed.
FUZZ_SEED ?=

CMAKE_NATIVE = cmake --preset native -B $(BUILD)/native
CMAKE_ASAN = cmake --preset native-asan -B $(BUILD)/native-asan
CMAKE_WIN = cmake --preset win64 -B $(BUILD)/win64
CMAKE_FUZZ = cmake --preset fuzz -B $(BUILD)/fuzz

.PHONY: all setup native asan win64 package test test-native test-wine demo fuzz bench clean

all: setup native win64

setup:
	@scripts/setup.sh

native: setup
	@test -f $(BUILD)/native/build.ninja || $(CMAKE_NATIVE) >/dev/null
	cmake --build $(BUILD)/native -j $(JOBS)

asan: setup
	@test -f $(BUILD)/native-asan/build.ninja || $(CMAKE_ASAN) >/dev/null
	cmake --build $(BUILD)/native-asan -j $(JOBS)

win64: setup
	@test -f $(BUILD)/win64/build.ninja || $(CMAKE_WIN) >/dev/null
	cmake --build $(BUILD)/win64 -j $(JOBS)

package: win64 native
	scripts/package.sh $(BUILD)

test-native: native asan
	ctest --test-dir $(BUILD)/native --output-on-failure -j $(JOBS)
	ctest --test-dir $(BUILD)/native-asan --output-on-failure -j $(JOBS)

test-wine: package
	scripts/wine-session.sh $(BUILD) ctest --test-dir $(BUILD)/win64 --output-on-failure

test: test-native test-wine

demo: package
	scripts/wine-session.sh $(BUILD) scripts/demo.sh $(BUILD)

fuzz: setup
	@test -f $(BUILD)/fuzz/build.ninja || $(CMAKE_FUZZ) >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	scripts/fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_SEED)

bench: package
	scripts/wine-session.sh $(BUILD) scripts/wine-run $(BUILD)/win64/bench/bench_devcaps.exe
	$(BUILD)/native/bench/bench_dither

clean:
	rm -rf $(BUILD)
