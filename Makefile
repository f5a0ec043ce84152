# The two entry points: `make run` (the program) and `make test` (every test).
BUILD ?= build
JOBS ?= 2
# Extra cmake options for a fresh build dir, e.g. CMAKE_ARGS=-DZOLT7_WERROR=ON (CI).
CMAKE_ARGS ?=
CLANG_FORMAT ?= clang-format

.PHONY: all build run test bench clean format format-check check-asan check-tsan

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: $(BUILD)/CMakeCache.txt
ifneq ($(strip $(CMAKE_ARGS)),)
	cmake $(CMAKE_ARGS) $(BUILD)
endif
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
	$(BUILD)/bin/records_bench
	$(BUILD)/bin/records_excel_bench
	$(BUILD)/bin/reports_bench
	$(BUILD)/bin/search_bench

# Formats the given FILES (default: every C++ file of the tree) with .clang-format;
# format-check only lists the files that would change.
FORMAT_FILES = $(or $(FILES),$(shell git ls-files '*.cpp' '*.h'))
format:
	@command -v $(CLANG_FORMAT) >/dev/null || { echo "format: $(CLANG_FORMAT) is missing (Debian package clang-format)"; exit 1; }
	$(CLANG_FORMAT) -i $(FORMAT_FILES)

format-check:
	@command -v $(CLANG_FORMAT) >/dev/null || { echo "format: $(CLANG_FORMAT) is missing (Debian package clang-format)"; exit 1; }
	@for f in $(FORMAT_FILES); do $(CLANG_FORMAT) --dry-run "$$f" 2>&1 | grep -q . && echo "$$f"; done; true

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=address,undefined
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS) --timeout 900

# The tests that run threads (store, serial link, protocol, capture, test
# window, simulator, whole-program runs) under ThreadSanitizer.
TSAN_TESTS ?= ^(Records|CrashSafety|StartUp|Framing|SerialQueues|Pty|TestSession)\.|^tst_(protocol|simulator|capture|capturedlg|e2e_measure|mainwindow)$$
check-tsan:
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS)
	cd build-tsan && ctest --output-on-failure -j$(JOBS) --timeout 900 -R '$(TSAN_TESTS)'

clean:
	rm -rf $(BUILD) build-asan build-tsan
