#!/usr/bin/env bash
# Installs what is missing, builds, and runs the command-line host's main job.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release -DPALORAN_TESTS=OFF -DPALORAN_BENCH=OFF
"$root/build/paloran" info
