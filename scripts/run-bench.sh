#!/usr/bin/env bash
# Runs every benchmark program of a build folder: scripts/run-bench.sh <builddir> [benchmark options]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "uso: $0 <pasta de build> [opcoes do benchmark]" >&2
  exit 2
fi
build_dir=$1
shift

found=0
for bin in "$build_dir"/bench/dovra_bench*; do
  [ -f "$bin" ] && [ -x "$bin" ] || continue
  found=1
  echo "== $(basename "$bin")"
  "$bin" "$@"
done

if [ "$found" -eq 0 ]; then
  echo "nenhum programa de benchmark em $build_dir/bench (Google Benchmark instalado?)" >&2
  exit 1
fi
