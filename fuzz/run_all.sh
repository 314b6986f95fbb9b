#!/usr/bin/env bash
# Runs every fuzz target for a bounded time and fails on any crash, sanitizer
# report, leak, time-out or broken invariant.
#
#   fuzz/run_all.sh [build folder]        (default: build-fuzz, the fuzz preset's)
#
# Environment: FUZZ_SECONDS per target (default 60), FUZZ_JOBS targets at
# once (default 2), SKYLOAM_TESTDATA the shared real files (default
# ../shared/testdata beside the repository; skipped when absent).
#
# Each target starts from the seeds fuzz_seed_writer writes, the first bytes
# of matching real files (copied into the build folder at run time) and its
# committed regression inputs in fuzz/regressions/<target>/. Everything the
# run makes stays in <build>/fuzz-run; crashing inputs land in
# <build>/fuzz-run/artifacts/. The last lines give the executions per target.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-fuzz}" && pwd)
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
testdata=${SKYLOAM_TESTDATA:-$root/../shared/testdata}
run=$build/fuzz-run

# target, maximum input length, dictionary, shared files (globs under testdata)
targets=(
  "fuzz_rinex          16384 rinex.dict rinex2/*[oO] rinex3/*.rnx rinex3/*[oO] rinex4/*.rnx"
  "fuzz_crinex         16384 rinex.dict misc/*.crx misc/*.21d"
  "fuzz_gzip            8192 rinex.dict gzip:rinex2/*[oO] gzip:rinex3/*.rnx rinex3/GEOP092I.24o.gz"
  "fuzz_unix_compress   8192 rinex.dict misc/*.Z"
  "fuzz_sp3            16384 sp3.dict   sp3/*"
  "fuzz_nav            16384 nav.dict   nav/*.n nav/*.??n nav/*.??e gunzip:nav/*.gz"
  "fuzz_epoch             64 -"
  "fuzz_identifiers       32 -"
  "fuzz_code_filter      128 -"
)

rm -rf "$run"
mkdir -p "$run/seeds" "$run/shared" "$run/corpus" "$run/artifacts" "$run/logs"
"$build/fuzz/fuzz_seed_writer" "$run/seeds"

# The first max_len bytes of each matching real file; "gzip:" compresses
# them first, so the gzip target starts from whole members; "gunzip:" takes
# them from a gzip file's text.
copy_shared() {
  local target=$1 max_len=$2 pattern file name
  shift 2
  mkdir -p "$run/shared/$target"
  [[ -d $testdata ]] || return 0
  for pattern in "$@"; do
    local compress="" decompress=""
    if [[ $pattern == gzip:* ]]; then compress=1; pattern=${pattern#gzip:}; fi
    if [[ $pattern == gunzip:* ]]; then decompress=1; pattern=${pattern#gunzip:}; fi
    for file in "$testdata"/$pattern; do
      [[ -f $file ]] || continue
      name=$(basename "$file")
      if [[ -n $compress ]]; then
        head -c $((max_len * 4)) "$file" | gzip -9n | head -c "$max_len" >"$run/shared/$target/$name.gz"
      elif [[ -n $decompress ]]; then
        { gzip -dc "$file" || true; } | head -c "$max_len" >"$run/shared/$target/${name%.gz}"
      else
        head -c "$max_len" "$file" >"$run/shared/$target/$name"
      fi
    done
  done
}

run_target() {
  local target=$1 max_len=$2 dict=$3
  local corpora=("$run/corpus/$target" "$run/seeds/$target" "$run/shared/$target")
  [[ -d $root/fuzz/regressions/$target ]] && corpora+=("$root/fuzz/regressions/$target")
  local options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=3072
                 -print_final_stats=1 -artifact_prefix="$run/artifacts/$target-")
  [[ $dict != - ]] && options+=(-dict="$root/fuzz/dictionaries/$dict")
  mkdir -p "$run/corpus/$target"
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    "$build/fuzz/$target" "${options[@]}" "${corpora[@]}" >"$run/logs/$target.log" 2>&1
}

for entry in "${targets[@]}"; do
  read -r target max_len dict shared <<<"$entry"
  read -ra shared_specs <<<"${shared:-}"
  copy_shared "$target" "$max_len" "${shared_specs[@]}"
done
[[ -d $testdata ]] || echo "note: no shared test data at $testdata; fuzzing from the written seeds only"

echo "Fuzzing ${#targets[@]} targets, ${seconds} s each, ${jobs} at a time"
declare -A pid_of=()
failed=()
finish_one() {
  local pid target
  wait -n -p pid "${!pid_of[@]}" && true
  local status=$?
  target=${pid_of[$pid]}
  unset "pid_of[$pid]"
  if ((status != 0)); then
    failed+=("$target")
    echo "FAILED: $target (exit $status); last lines of $run/logs/$target.log:"
    tail -n 60 "$run/logs/$target.log" | sed 's/^/    /'
  else
    echo "ok: $target"
  fi
}
for entry in "${targets[@]}"; do
  read -r target max_len dict _ <<<"$entry"
  while ((${#pid_of[@]} >= jobs)); do finish_one; done
  run_target "$target" "$max_len" "$dict" &
  pid_of[$!]=$target
done
while ((${#pid_of[@]} > 0)); do finish_one; done

echo
printf '%-20s %14s %10s\n' target executions exec/s
for entry in "${targets[@]}"; do
  read -r target _ <<<"$entry"
  log=$run/logs/$target.log
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  printf '%-20s %14s %10s\n' "$target" "${runs:-?}" "${rate:-?}"
done

if ((${#failed[@]})); then
  echo "fuzzing failed: ${failed[*]} (inputs in $run/artifacts)"
  exit 1
fi
echo "fuzzing passed: no crash, sanitizer report or broken invariant"
