# The two entry points: `make run` (the program) and `make test` (every test).
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test bench clean check-asan check-tsan

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600

bench: build
	$(BUILD)/bin/store_bench
	$(BUILD)/bin/devicelink_bench
	$(BUILD)/bin/bench_users
	$(BUILD)/bin/measurement_bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=address,undefined
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS) --timeout 900

# The tests that run threads (store, serial link, protocol, capture, test
# window, simulator, whole-program runs) under ThreadSanitizer.
TSAN_TESTS ?= ^(Records|CrashSafety|StartUp|Framing|SerialQueues|Pty|TestSession)\.|^tst_(protocol|simulator|capture|capturedlg|e2e_measure|mainwindow|shell_sim)$$
check-tsan:
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS)
	cd build-tsan && ctest --output-on-failure -j$(JOBS) --timeout 900 -R '$(TSAN_TESTS)'

clean:
	rm -rf $(BUILD) build-asan build-tsan
