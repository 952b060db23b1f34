#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted as .clang-format says (Debian's
# clang-format 14), and lists those files. scripts/check-format.sh --fix formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$clang_format" ]; then
  echo "check-format: clang-format not found (Debian package clang-format)" >&2
  exit 2
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$clang_format" -i --style=file "${files[@]}"
  exit 0
fi
# Two at a time; each file is checked on its own so that the unformatted ones can be named.
mapfile -t unformatted < <(printf '%s\0' "${files[@]}" | xargs -0 -n 8 -P 2 sh -c '
  for file; do "$0" --style=file --dry-run --Werror "$file" >/dev/null 2>&1 || echo "$file"; done' "$clang_format" | sort)
if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}"
  echo "check-format: ${#unformatted[@]} of ${#files[@]} files need scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: all ${#files[@]} files formatted"
