# The commands a newcomer types. Each installs what a fresh Debian machine lacks first.
BUILD_DIR      ?= build
ASAN_DIR       ?= build-asan
TSAN_DIR       ?= build-tsan
BENCH_DIR      ?= build-bench
FUZZ_DIR       ?= build-fuzz
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
SAMPLE         ?= samples/sample.gpx

.PHONY: all deps build run test test-asan test-tsan bench fuzz package clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/src/ui/wend ]; then \
	  $(BUILD_DIR)/src/ui/wend $(SAMPLE); \
	else \
	  $(BUILD_DIR)/wend-cli info $(SAMPLE); \
	fi

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DWEND_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# The core's tests with ThreadSanitizer: the work done on other threads lives in the core. Qt
# itself is not built for ThreadSanitizer, so the application's tests would only report Qt.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEND_TSAN=ON -DWEND_BUILD_UI=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  ctest --test-dir $(TSAN_DIR) --output-on-failure -j $(JOBS)

# A Debian package of the build: build/wend_<version>_<arch>.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DWEND_BUILD_BENCH=ON -DWEND_BUILD_TESTS=OFF \
	  $(CMAKE_FLAGS)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./bench/run-all.sh $(BENCH_DIR)

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEND_BUILD_FUZZ=ON \
	  -DWEND_BUILD_TESTS=OFF -DWEND_BUILD_UI=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
