#!/usr/bin/env bash
# Takes a picture of the configurator's main window under a virtual X server and writes it
# to docs/configurador.png. Usage: scripts/screenshot.sh [build folder] [output file]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=${2:-docs/configurador.png}
app="$build/app/pdv-configurador"
if [ ! -x "$app" ]; then
  echo "O configurador não foi encontrado em $app; construa-o primeiro (make build)." >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run não encontrado (scripts/install-deps.sh)" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
# The window starts from a folder of its own so that no Pdv.ini of a real installation is read.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$app" "$work/"
QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
  xvfb-run -a -s "-screen 0 1280x800x24" "$work/pdv-configurador" --screenshot "$PWD/$out"
echo "$out"
