#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the program, its tests, tools,
# benchmarks or fuzz target is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format="${1:-clang-format}"
mapfile -t files < <(find src tests tools bench fuzz manual -name '*.cpp' -o -name '*.h' | sort)
# One call for every file: a start per file took minutes on a loaded machine.
# Each place off the style is reported as "FILE:LINE:COLUMN: error: ...".
status=0
messages=$("$clang_format" --dry-run --Werror "${files[@]}" 2>&1 >/dev/null) || status=$?
if [ "$status" -ne 0 ]; then
  mapfile -t unformatted < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
                               <<<"$messages" | sort -u)
  if [ ${#unformatted[@]} -eq 0 ]; then
    echo "$clang_format failed (exit status $status):"
    printf '%s\n' "$messages"
    exit 1
  fi
  echo "Not formatted as .clang-format says (run: clang-format -i FILE):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "${#files[@]} sources formatted as .clang-format says"
