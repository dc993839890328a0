# The two commands that do everything on a fresh Debian machine: `make run`
# and `make test`. Each installs what is missing first.
FUZZ_SECONDS ?= 60

.PHONY: all deps run serve test bench fuzz package clean

all: run

deps:
	@bash scripts/install-deps.sh

# Builds the programs, writes the demo client once, and starts the desktop
# program on it (scripts/run-wardrobe.sh).
run: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target varune-cli varune-wardrobe
	@bash scripts/run-wardrobe.sh

# Builds the render service and starts it on the demo client (scripts/serve.sh).
serve: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target varune-cli varune-server
	@bash scripts/serve.sh

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
	@cmake --build --preset fuzz --target fuzz_all
	@for f in build/fuzz/bin/fuzz_*; do \
	  t=$${f##*/fuzz_}; corpus=build/fuzz/corpus/$$t; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  mkdir -p $$corpus && build/fuzz/bin/replay_$$t --write-seeds $$corpus && \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$corpus >$$corpus.log 2>&1; rc=$$?; \
	  tail -n 12 $$corpus.log; [ $$rc -eq 0 ] || exit 1; \
	done

# The Debian package build/package/varune-wardrobe_VERSION_ARCH.deb, then
# checked unpacked (scripts/check-package.sh).
package: deps
	@cmake --preset package >/dev/null
	@cmake --build --preset package
	@rm -f build/package/varune-wardrobe_*.deb
	@cpack --preset package >/dev/null
	@bash scripts/check-package.sh build/package/varune-wardrobe_*.deb

clean:
	rm -rf build
