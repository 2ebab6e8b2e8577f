# A thin front for CMake; the real build lives in CMakeLists.txt.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build test run bench fuzz install sanitize-build check-sanitizers clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

# The suite twice: the normal build, then the sanitizer build with the fuzz targets' replays.
test: build
	cd $(BUILD) && ctest --output-on-failure -j2
	@$(MAKE) --no-print-directory check-sanitizers

# Builds only what it starts (the program, and the converter it falls back to); the tests and the
# benchmarks wait for `make test` and `make bench`.
run: configure
	@cmake --build $(BUILD) --target orvantis orvantis-coords
	@bash scripts/run.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

install: build
	cmake --install $(BUILD)

# The whole test suite again, built by clang with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks checked), and the fuzz targets replaying their corpora.
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize-build: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DORV_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD)

check-sanitizers: sanitize-build
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j2

# Each fuzz target for FUZZ_SECONDS (default 300), keeping what it finds in the build folder.
FUZZ_SECONDS ?= 300
fuzz: sanitize-build
	@for t in $(SANITIZE_BUILD)/*_fuzz; do \
		n=$$(basename $$t); echo "== $$n"; \
		$(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen $$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=$(SANITIZE_BUILD)/fuzz-found/$$n- \
			$$( [ -f fuzz/$$n.dict ] && echo -dict=fuzz/$$n.dict ) \
			$(SANITIZE_BUILD)/fuzz-found/$$n fuzz/corpus/$$n || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
