#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# the release build (then the installed package and the Debian packages),
# the AddressSanitizer + UndefinedBehaviorSanitizer build; then a short fuzz
# pass over every parser and the Windows lane.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/check-layering.sh"
"$root/scripts/install-deps.sh" test
# Screen capture is tested against an X server: without a display, a virtual
# one (xvfb-run) where installed; otherwise those tests skip. The server must
# not reset when its last client leaves: tests open and close the display
# over and over, and a connection made during a reset is refused.
run_suite() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 640x480x8 -noreset" "$@"
  else
    "$@"
  fi
}

"$root/scripts/build.sh" release
(cd "$root/build" && run_suite ctest --output-on-failure --no-tests=error --parallel "$(nproc)")
# Install, the example host against the installed package, the Debian packages.
"$root/scripts/test-package.sh"

"$root/scripts/build.sh" sanitize
# The engine checks every allocation for null: let huge requests fail instead of aborting.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$root/build-san" && run_suite ctest --output-on-failure --no-tests=error --parallel "$(nproc)")

# Every parser of outside data fuzzed briefly (clang, libFuzzer, ASan + UBSan).
"$root/scripts/fuzz.sh" smoke

# The Windows DLLs: cross builds, export checks, the 64-bit suite under Wine.
"$root/scripts/test-windows.sh"
