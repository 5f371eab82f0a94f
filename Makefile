# Entry points: `make run` starts the configurator, `make test` builds and runs every test.
# Each target installs what is missing (scripts/install-deps.sh), configures and builds first.

BUILD_DIR     ?= build/release
TEST_DIR      ?= build/test
FUZZ_DIR      ?= build/fuzz
FUZZ_SECONDS  ?= 30
JOBS          ?= $(shell nproc)

.PHONY: all deps run test build bench fuzz clean install

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOVRA_BUILD_TESTS=OFF

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run-configurator.sh $(BUILD_DIR)

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDOVRA_SANITIZE=ON -DDOVRA_BUILD_BENCH=OFF
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	bash scripts/run-bench.sh $(BUILD_DIR)

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOVRA_BUILD_FUZZ=ON -DDOVRA_BUILD_TESTS=OFF -DDOVRA_BUILD_BENCH=OFF -DDOVRA_BUILD_APP=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

install: build
	cmake --install $(BUILD_DIR)

clean:
	rm -rf build
