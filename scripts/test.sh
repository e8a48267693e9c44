#!/usr/bin/env bash
# Builds everything and runs every test twice: a normal build, then an ASan+UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)
export TMPDIR=/tmp # the emulated USB devices use unix sockets, whose paths must stay short
# ccache keeps a second build (and the next run on this machine) short; paths relative to the
# checkout let two clones share it.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# Timings under the sanitizers mean nothing: the benchmarks are built (and kept compiling) above.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLABELSETUP_SANITIZE=ON \
  -DLABELSETUP_BENCHMARKS=OFF "${launcher[@]}"
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
