#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the program, its tests, tools,
# benchmarks or fuzz target is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format="${1:-clang-format}"
mapfile -t files < <(find src tests tools bench fuzz manual -name '*.cpp' -o -name '*.h' | sort)
unformatted=()
for f in "${files[@]}"; do
  "$clang_format" --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -ne 0 ]; then
  echo "Not formatted as .clang-format says (run: clang-format -i FILE):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "${#files[@]} sources formatted as .clang-format says"
