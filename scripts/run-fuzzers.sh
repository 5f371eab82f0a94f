#!/usr/bin/env bash
# Runs every libFuzzer program (<builddir>/fuzz/*_fuzzer) for <seconds> seconds each.
# Corpora grow in <builddir>/corpus/<name>, seeded from fuzz/seeds/<name> when present;
# crashing inputs are kept in <builddir>/artifacts. Fails when any fuzzer fails.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "uso: $0 <pasta-de-build> <segundos>" >&2
  exit 2
fi
build_dir=$1
seconds=$2
repo_dir=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t fuzzers < <(find "$build_dir/fuzz" -maxdepth 1 -type f -name '*_fuzzer' -perm -u+x 2>/dev/null | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "Nenhum fuzzer encontrado em $build_dir/fuzz" >&2
  exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  corpus="$build_dir/corpus/$name"
  artifacts="$build_dir/artifacts"
  mkdir -p "$corpus" "$artifacts"
  dirs=("$corpus")
  [ -d "$repo_dir/fuzz/seeds/$name" ] && dirs+=("$repo_dir/fuzz/seeds/$name")

  echo "== $name: ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" "${dirs[@]}"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzers com falha: ${failed[*]} (entradas em $build_dir/artifacts)" >&2
  exit 1
fi
echo "Todos os fuzzers terminaram sem falhas."
