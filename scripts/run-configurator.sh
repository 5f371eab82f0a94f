#!/usr/bin/env bash
# Starts the configurator from a build folder; without it (no Qt), shows the tag list instead.
set -euo pipefail
build=${1:-build/release}
if [ -x "$build/app/pdv-configurador" ]; then
  exec "$build/app/pdv-configurador"
fi
echo "O configurador ainda não foi construído nesta árvore; lista de tags do dovrapos:"
exec "$build/cli/dovrapos" tags
