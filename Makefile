# Two commands do everything on a fresh Debian machine:
#   make run    installs what is missing, builds, starts the application
#   make test   installs what is missing, builds, runs every test headless, then again under the
#               sanitizers, then the fuzzer, then builds the Debian package and checks it
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Tests at a time in the normal build: twice the cores, since most of the suite waits on real
# seconds (the logger's ticks, pseudo-terminals, a broker) rather than computing; ctest starts the
# longest first. The sanitizer run keeps one test a core: four at once there once made the logger
# publish its state later than its test waits.
TEST_JOBS  ?= $(shell echo $$(( $(JOBS) * 2 )))
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps build run test test-main test-asan test-fuzz test-package package fuzz bench soak field-day clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/velmora --demo

test: test-main test-asan test-fuzz test-package

test-main: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS)

# The Debian package (CPack): build/velmora_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD) -j $(JOBS) --target package

# The package as a user meets it: its files, --help and --version with no display,
# desktop-file-validate, appstreamcli validate and lintian (scripts/check-package.sh).
test-package: package
	./scripts/check-package.sh "$$(ls -t $(BUILD)/velmora_*.deb | head -n 1)"

# Every test, the window tests included (offscreen), under AddressSanitizer and
# UndefinedBehaviorSanitizer: a use-after-free in a view's item editor shows only here.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The receive path under libFuzzer (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# bounds-checked arrays) for FUZZ_SECONDS, from the seed corpus and every earlier finding.
# New inputs go to $(FUZZ_BUILD)/corpus; a finding is written to $(FUZZ_BUILD)/findings and
# fails the target: copy it to fuzz/regressions, fix the fault, and tst_fuzzregressions keeps it.
test-fuzz: fuzz

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVELMORA_CORE_ONLY=ON -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_receive
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ./$(FUZZ_BUILD)/fuzz/fuzz_receive $(FUZZ_BUILD)/corpus fuzz/corpus $(wildcard fuzz/regressions) \
	  -max_total_time=$(FUZZ_SECONDS) -max_len=1024 -len_control=0 -timeout=10 -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_BUILD)/findings/

# Figures, not tests: kept out of `make test`. The receive path on its own, then the
# application against velmora-sim for BENCH_SECONDS per measurement; docs/performance.md
# holds the figures with the machine they ran on. Each CPU figure comes with picocom's on the
# same stream, side by side. BENCH_ONLY=load takes only the CPU and memory figures by frame.
# BENCH_BEFORE=<velmora-measured of an earlier tree> measures that build beside this one.
BENCH_SECONDS ?= 60
bench: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target bench_receive bench_app bench_trends velmora-measured velmora-sim
	cmake --build $(BUILD) -j $(JOBS) --target bench_logger velmora-logger
	@echo "machine: $$(nproc) cores,$$(grep -m1 'model name' /proc/cpuinfo 2>/dev/null | cut -d: -f2),\
	  $$(awk '/MemTotal/ {printf "%.1f GiB RAM", $$2 / 1048576}' /proc/meminfo 2>/dev/null); $$(date -u '+%Y-%m-%d %H:%M UTC');\
	  load average $$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null)"
	[ -n "$(BENCH_ONLY)" ] || ./$(BUILD)/bench/bench_receive
	BENCH_ONLY=$(BENCH_ONLY) BENCH_BEFORE=$(BENCH_BEFORE) ./$(BUILD)/bench/bench_app ./$(BUILD)/bench/velmora-measured ./$(BUILD)/tools/velmora-sim/velmora-sim $(BENCH_SECONDS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/bench_trends ./$(BUILD)/bench/velmora-measured ./$(BUILD)/tools/velmora-sim/velmora-sim $(BENCH_SECONDS)
	BENCH_ONLY=$(BENCH_ONLY) ./$(BUILD)/bench/bench_logger ./$(BUILD)/tools/velmora-logger/velmora-logger \
	  ./$(BUILD)/tools/velmora-sim/velmora-sim $(BENCH_SECONDS)

# A day of bus traffic on a noisy line, in simulated time, through the whole monitor with
# the log on: memory flat, one log line per second. Four hours of it run in `make test`.
SOAK_HOURS ?= 24
soak: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target soak_day
	./$(BUILD)/tests/soak/soak_day $(SOAK_HOURS)

# A field day of the unattended logger on the simulated installation, alone and with the adapter
# pulled for a whole minute: a clock step, a kill -9 with a torn line, the pull, a broker
# restart. A shorter pull of the same script runs in `make test` (tst_fieldday).
FIELD_DAY_PULL_SECONDS ?= 60
field-day: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tst_fieldday velmora-logger velmora-sim
	cd $(BUILD) && FIELD_DAY_PULL_SECONDS=$(FIELD_DAY_PULL_SECONDS) QT_QPA_PLATFORM=offscreen \
	  ctest -R '^tst_fieldday$$' --output-on-failure --verbose

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
