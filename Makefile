# The two commands that do everything on a fresh Debian machine: `make run`
# and `make test`. Each installs what is missing first.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_spf fuzz_ldt fuzz_tbl fuzz_mft fuzz_seq

.PHONY: all deps run test bench fuzz clean

all: run

deps:
	@bash scripts/install-deps.sh

run: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target varune-cli
	./build/release/bin/varune-cli --help

test: deps
	@cmake --preset test >/dev/null
	@cmake --build --preset test
	@ctest --preset test

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@for b in build/release/bin/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@for t in $(FUZZ_TARGETS); do \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  rm -rf build/fuzz/corpus/$$t && mkdir -p build/fuzz/corpus/$$t && \
	  build/fuzz/bin/fuzz_seeds $$t build/fuzz/corpus/$$t && \
	  build/fuzz/bin/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build/fuzz/corpus/$$t || exit 1; \
	done

clean:
	rm -rf build
