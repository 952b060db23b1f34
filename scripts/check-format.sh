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
# One clang-format for all files (a process per file cost half a minute of processor time); the
# files it names in its diagnostics are those not formatted. A failure that names none (a bad
# .clang-format) fails the check too.
status=0
report=$(printf '%s\0' "${files[@]}" | xargs -0 "$clang_format" --style=file --dry-run --Werror 2>&1) || status=$?
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: (error|warning):' <<<"$report" | cut -d: -f1 | sort -u)
if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}"
  echo "check-format: ${#unformatted[@]} of ${#files[@]} files need scripts/check-format.sh --fix" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "$report" >&2
  echo "check-format: clang-format failed" >&2
  exit 1
fi
echo "check-format: all ${#files[@]} files formatted"
