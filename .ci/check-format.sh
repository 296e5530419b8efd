#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it (the repo's
# .clang-format) and shows the difference. The output is compared rather than trusting
# "clang-format --dry-run --Werror", which in clang-format 14 also flags no-op replacements
# (a namespace comment with a non-ASCII name it would rewrite to the same bytes).
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || {
  echo "check-format: clang-format is missing (scripts/install-deps test)" >&2
  exit 2
}
bad=0
while IFS= read -r -d '' file; do
  if ! clang-format --style=file "$file" | diff -u --label "$file" --label "$file (formatted)" \
      "$file" -; then
    bad=$((bad + 1))
  fi
done < <(git ls-files -z '*.cpp' '*.h')
if [ "$bad" -ne 0 ]; then
  echo "check-format: $bad file(s) not formatted; run clang-format -i on them" >&2
  exit 1
fi
echo "check-format: all C++ sources formatted"
