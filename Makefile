# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= Release
TEST_ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@sh cmake/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	@$(MAKE) --no-print-directory deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	bash cmake/run-program.sh $(BUILD_DIR)

test: build
	bash cmake/run-tests.sh $(BUILD_DIR) $(TEST_ARGS)

bench: build
	cmake --build $(BUILD_DIR) --target bench -j $(JOBS)
	bash cmake/run-bench.sh $(BUILD_DIR)

# The one code style (.clang-format) over every C and C++ source that git knows.
format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
