#!/usr/bin/env bash
# Fuzzes every parser of outside data with libFuzzer (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer) in build-fuzz/: each file reader from the
# test pictures of its format, the clipboard's DIB reader from the test
# bitmaps, the effect-script parser from the shipped and test scripts, and
# the engine-level targets (run-length lines and compressed layers, paint
# scripts, Lua pixel functions, the filter dispatcher, export call
# sequences) from their seeds in fuzz/seeds/<target>.
#   scripts/fuzz.sh smoke                    20 s per target (CI, from scripts/test.sh)
#   scripts/fuzz.sh long [seconds] [target…] a longer run per target (default 600 s;
#                                            all targets, or those named), one
#                                            target at a time; each run's
#                                            executions, coverage and outcome
#                                            are appended to build-fuzz/record.txt.
# Corpora grow in build-fuzz/corpus/<target>, crashes land in
# build-fuzz/crashes/<target>.
# A crash, a leak, an out-of-bounds access or an input running longer than
# 10 s fails the run (exit status 1) and leaves the input for replaying:
#   build-fuzz/fuzz/fuzz_<target> <input file>
set -euo pipefail
seed_flag=()
root="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-smoke}"
all_targets=(bmp png jpeg tiff gif tga pcx psd emf wmf script clipboard_dib
             run_length paint_script lua_pixels image_process call_sequence)
case "$mode" in
  # The smoke pass starts every target from the same random seed, so that a
  # CI run over the same tree tries the same inputs first and a finding it
  # reports comes back on a re-run; long runs draw a new seed each time.
  smoke) seconds=20; targets=("${all_targets[@]}"); seed_flag=(-seed=20261209) ;;
  long) seconds="${2:-600}"; shift $(( $# < 2 ? $# : 2 ))
        if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi ;;
  *) echo "usage: scripts/fuzz.sh smoke | long [seconds] [target...]" >&2; exit 2 ;;
esac
"$root/scripts/install-deps.sh" fuzz
dir="$root/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALORAN_FUZZ=ON \
  -DPALORAN_SANITIZE=OFF -DPALORAN_TESTS=OFF -DPALORAN_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)" >/dev/null

# Seed extensions per reader.
declare -A seeds=([bmp]="bmp" [png]="png" [jpeg]="jpg" [tiff]="tif" [gif]="gif" [tga]="tga" [pcx]="pcx"
                  [psd]="psd" [emf]="emf" [wmf]="wmf")
seed_corpus() {  # <target> <corpus folder>: copies the target's seeds in once
  case "$1" in
    script) find "$root/data/effects" "$root/tests/data/scripts" -name '*.efs' -exec cp -n {} "$2"/ \; ;;
    clipboard_dib)  # the test bitmaps less their 14-byte file header: packed DIBs
      for f in "$root"/tests/data/images/*.bmp; do
        [ -e "$2/$(basename "$f").dib" ] || tail -c +15 "$f" >"$2/$(basename "$f").dib"
      done ;;
    run_length|paint_script|lua_pixels|image_process|call_sequence) cp -n "$root/fuzz/seeds/$1"/* "$2"/ ;;
    *) for f in "$root"/tests/data/images/*."${seeds[$1]}"; do [ -e "$f" ] && cp -n "$f" "$2"/; done ;;
  esac
}
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target" crashes="$dir/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  seed_corpus "$target" "$corpus"
  echo "fuzz_$target: $seconds s"
  outcome=ok
  if ! "$dir/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -artifact_prefix="$crashes/" -print_final_stats=1 ${seed_flag[@]+"${seed_flag[@]}"} >"$dir/fuzz_$target.log" 2>&1; then
    echo "fuzz_$target FAILED; see $dir/fuzz_$target.log and $crashes/" >&2
    # The finding itself, so that a log of the run alone says what failed.
    grep -E -A12 '^==[0-9]+==.*(ERROR|WARNING)|runtime error|^SUMMARY|ALARM' "$dir/fuzz_$target.log" | head -40 >&2 || true
    for f in "$crashes"/*; do [ -f "$f" ] && echo "input (base64): $(head -c 4096 "$f" | base64 -w0)" >&2; done
    status=1 outcome=FAILED
  fi
  if [ "$mode" = long ]; then
    # libFuzzer's closing statistics: executions done and coverage reached.
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz_$target.log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$dir/fuzz_$target.log" | tail -1 | cut -d' ' -f2)
    printf '%s\t%s\t%s s\t%s executions\tcov %s\t%s\n' "$(date -u +%FT%TZ)" "$target" "$seconds" \
      "${runs:-0}" "${cov:-?}" "$outcome" >>"$dir/record.txt"
  fi
done
exit $status
