#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the program's own sources in build/'s
# compilation database, two at a time; any finding fails. Left out: the tests and the files Qt
# generates (moc), which are not ours to tidy. Needs a configured and built build/ (the
# generated headers) and scripts/install-deps test.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v run-clang-tidy >/dev/null || {
  echo "clang-tidy: run-clang-tidy is missing (scripts/install-deps test)" >&2
  exit 2
}
[ -f build/compile_commands.json ] || {
  echo "clang-tidy: no build/compile_commands.json; build first (scripts/test)" >&2
  exit 2
}
start=$SECONDS
root=$(printf '%s' "$PWD" | sed 's/[][\.^$*+?(){}|]/\\&/g')
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# .clang-tidy makes every finding an error, so a file with one fails its clang-tidy run.
if ! run-clang-tidy -p build -j2 -quiet "^$root/(src|data|packaging)/" >"$log" 2>&1; then
  grep -vE '^(clang-tidy-[0-9]+ |[0-9]+ (warnings?|errors?)( and [0-9]+ errors?)? generated)' \
    "$log" >&2 || true
  echo "clang-tidy: findings above" >&2
  exit 1
fi
echo "clang-tidy: clean ($((SECONDS - start)) s)"
