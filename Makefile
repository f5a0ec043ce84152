# The two entry points: `make run` (the program) and `make test` (every test).
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test bench clean

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
	$(BUILD)/bin/records_bench
	$(BUILD)/bin/records_excel_bench
	$(BUILD)/bin/reports_bench
	$(BUILD)/bin/search_bench

clean:
	rm -rf $(BUILD)
