#!/usr/bin/env bash
# Fuzzes every file reader and the clipboard DIB reader with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer), each from a seed corpus of the test pictures
# of its format, in build-fuzz/.
# The effect-script parser (fuzz_script) runs the same way, seeded with the
# shipped and test scripts.
#   scripts/fuzz.sh smoke            a few seconds per reader (CI)
#   scripts/fuzz.sh long [seconds]   a longer run per reader (default 600 s);
#                                    corpora grow in build-fuzz/corpus/<reader>,
#                                    crashes land in build-fuzz/crashes/<reader>
# A crash, a leak, an out-of-bounds access or an input running longer than
# 10 s fails the run (exit status 1) and leaves the input for replaying:
#   build-fuzz/fuzz/fuzz_<reader> <input file>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-smoke}"
case "$mode" in
  smoke) seconds=5 ;;
  long) seconds="${2:-600}" ;;
  *) echo "usage: scripts/fuzz.sh smoke | long [seconds]" >&2; exit 2 ;;
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
seed_files() {  # the seed corpus of one target
  if [ "$1" = script ]; then
    find "$root/data/effects" "$root/tests/data/scripts" -name '*.efs'
  else
    ls "$root"/tests/data/images/*."${seeds[$1]}" 2>/dev/null || true
  fi
}
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for reader in bmp png jpeg tiff gif tga pcx psd emf wmf script; do
  corpus="$dir/corpus/$reader" crashes="$dir/crashes/$reader"
  mkdir -p "$corpus" "$crashes"
  seed_files "$reader" | while read -r seed; do cp -n "$seed" "$corpus"/ 2>/dev/null || true; done
  echo "fuzz_$reader: $seconds s"
  if ! "$dir/fuzz/fuzz_$reader" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -artifact_prefix="$crashes/" -print_final_stats=0 >"$dir/fuzz_$reader.log" 2>&1; then
    echo "fuzz_$reader FAILED; see $dir/fuzz_$reader.log and $crashes/" >&2
    status=1
  fi
done

# The clipboard's DIB reader, seeded with the test bitmaps less their 14-byte file header.
corpus="$dir/corpus/clipboard_dib" crashes="$dir/crashes/clipboard_dib"
mkdir -p "$corpus" "$crashes"
for f in "$root"/tests/data/images/*.bmp; do
  if [ -e "$f" ] && [ ! -e "$corpus/$(basename "$f").dib" ]; then tail -c +15 "$f" >"$corpus/$(basename "$f").dib"; fi
done
echo "fuzz_clipboard_dib: $seconds s"
if ! "$dir/fuzz/fuzz_clipboard_dib" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
     -max_len=65536 -artifact_prefix="$crashes/" -print_final_stats=0 >"$dir/fuzz_clipboard_dib.log" 2>&1; then
  echo "fuzz_clipboard_dib FAILED; see $dir/fuzz_clipboard_dib.log and $crashes/" >&2
  status=1
fi
exit $status
