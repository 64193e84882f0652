# Short targets over the CMake presets and the scripts in tools/. See README.md.
.PHONY: all setup build test demo bench fuzz clean

all: build

setup:
	@tools/setup.sh

build:
	@tools/build.sh

test:
	@tools/run-tests.sh

demo:
	@tools/demo.sh

fuzz:
	@tools/fuzz.sh

bench:
	@tools/bench.sh

clean:
	rm -rf build dist out
