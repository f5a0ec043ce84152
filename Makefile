# The two entry points: `make run` (the program) and `make test` (every test).
BUILD ?= build
JOBS ?= 2
# Extra cmake options for a fresh build dir, e.g. CMAKE_ARGS=-DZOLT7_WERROR=ON (CI).
CMAKE_ARGS ?=
CLANG_FORMAT ?= clang-format

.PHONY: all build run test bench package clean format format-check check-asan check-tsan

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

# The Debian package, in $(BUILD)/package/.
package: build
	cmake --build $(BUILD) --target package

bench: build
	$(BUILD)/bin/store_bench
	$(BUILD)/bin/devicelink_bench
	$(BUILD)/bin/bench_users
	$(BUILD)/bin/measurement_bench
	$(BUILD)/bin/records_bench
	$(BUILD)/bin/records_excel_bench
	$(BUILD)/bin/reports_bench
	$(BUILD)/bin/search_bench
	$(BUILD)/bin/seal_bench
	$(BUILD)/bin/central_bench

# Formats the given FILES (default: every C++ file of the tree) with .clang-format;
# format-check lists the files that would change and fails when there is one.
FORMAT_FILES = $(or $(FILES),$(shell git ls-files '*.cpp' '*.h'))
format:
	@command -v $(CLANG_FORMAT) >/dev/null || { echo "format: $(CLANG_FORMAT) is missing (Debian package clang-format)"; exit 1; }
	$(CLANG_FORMAT) -i $(FORMAT_FILES)

format-check:
	@command -v $(CLANG_FORMAT) >/dev/null || { echo "format: $(CLANG_FORMAT) is missing (Debian package clang-format)"; exit 1; }
	@bad=0; for f in $(FORMAT_FILES); do \
	  if $(CLANG_FORMAT) --dry-run "$$f" 2>&1 | grep -q .; then echo "not formatted: $$f"; bad=1; fi; \
	done; exit $$bad

# Sanitizer options for every test run (discovered GoogleTest cases take one
# ENVIRONMENT entry only, so the options come from here). Leaks are not
# checked: the store lives in one mapping the leak checker does not scan, and
# the windowing libraries keep caches for the process.
ASAN_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$(CURDIR)/tests/tsan.supp

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=address,undefined
	cmake --build build-asan -j$(JOBS)
	cd build-asan && $(ASAN_ENV) ctest --output-on-failure -j$(JOBS) --timeout 900

# The tests that run threads (store, serial link, protocol, capture, test
# window, whole-program runs) under ThreadSanitizer: those declared THREADS in
# tests/*/CMakeLists.txt, which carry the CTest label `threads`. Only their
# programs are built.
check-tsan:
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT7_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS) --target threads_tests
	cd build-tsan && $(TSAN_ENV) ctest --output-on-failure -j$(JOBS) --timeout 900 -L threads

clean:
	rm -rf $(BUILD) build-asan build-tsan
