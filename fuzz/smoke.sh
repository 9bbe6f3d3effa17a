#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ with clang and runs each briefly from its seeds in
# fuzz/corpus/NAME/, one line per target. Exits 1 when a target crashes or finds a fault (the
# input is kept in build-fuzz/artifacts/), 0 with a note when clang or libFuzzer is missing.
# FUZZ_SECONDS (default 10) is each target's time.
set -euo pipefail
cd "$(dirname "$0")/.."

skip() {
  echo "clang with libFuzzer not found: fuzz smoke skipped"
  exit 0
}
command -v clang >/dev/null && command -v clang++ >/dev/null || skip
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' \
  >"$probe/probe.cpp"
clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null || skip

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# -O1 with line tables: quick to build, fast enough to fuzz, and reports name their lines.
CC=clang CXX=clang++ cmake -S . -B build-fuzz "${generator[@]}" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Fuzz -DCMAKE_C_FLAGS_FUZZ="-O1 -gline-tables-only" \
  -DCMAKE_CXX_FLAGS_FUZZ="-O1 -gline-tables-only" -DVANTRELL_FUZZ=ON >/dev/null
cmake --build build-fuzz --target vantrell_fuzz -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

seconds=${FUZZ_SECONDS:-10}
mkdir -p build-fuzz/artifacts
failed=0
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -f $target && -x $target ]] || continue
  name=$(basename "$target")
  # New inputs go to the first folder, so the committed seeds stay as they are.
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  seeds=()
  [[ -d fuzz/corpus/$name ]] && seeds=("fuzz/corpus/$name")
  log=build-fuzz/$name.log
  # -close_fd_mask=2: the targets' own messages are dropped; the sanitizers' reports are not.
  if "$target" -max_total_time="$seconds" -close_fd_mask=2 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/"$name"- "$work" "${seeds[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$name: ok, ${runs:-?} inputs in ${seconds} s"
  else
    echo "$name: FAILED (log: $log)"
    grep -m 20 -E 'ERROR|SUMMARY|deadly signal|Test unit written' "$log" || tail -n 20 "$log"
    failed=1
  fi
done
exit "$failed"
