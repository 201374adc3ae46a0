#!/usr/bin/env bash
# Installs what is missing, builds, and runs the command-line host's main job:
# the demo, which paints a picture through the engine and renders it to demo.png.
# Extra arguments go to `paloran demo` (e.g. --size 1920x1280, --scale 2, --mask).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" demo
"$root/scripts/build.sh" demo
# Paints the built-in picture and writes it as demo.png in the current folder.
"$root/build/paloran" demo -o demo.png "$@"
