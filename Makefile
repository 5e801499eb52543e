# make run: install what is missing, build, start the converter.
# make test: install what is missing, build, run every test headless.
# make package: install what is missing, build, make the Debian package.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= inifile profile probe timetext progress startup journal
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-sanitize fuzz install package clean

all: build

deps:
	@tools/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/bin/velkor

# Twice as many tests as cores: many of them spend their time waiting on clips played at their
# own pace, not on the processor.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $$(( $$(nproc) * 2 )) \
		|| { $(CURDIR)/tools/show-failed-tests .; exit 1; }

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_DUMP=1 \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure || { $(CURDIR)/tools/show-failed-tests .; exit 1; }

# Each parser of outside text under libFuzzer for FUZZ_SECONDS seconds, built with clang and both
# sanitizers in its own build directory; fails when an input breaks one.
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target velkor_fuzzers
	tests/fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

install: build
	cmake --install $(BUILD_DIR)

# velkor_<version>_amd64.deb, here; apt install ./velkor_*.deb installs it.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	cp $(BUILD_DIR)/velkor_*.deb .

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
