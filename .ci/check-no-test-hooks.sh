#!/usr/bin/env bash
# Fails when the program or its companion libraries in a build folder carry test hooks: looks
# with `strings` for every hook name kept in src/companion/common/test_hooks.h. A build made
# without ZETTARA_TEST_HOOKS (a user's build, the package) must hold none of them.
# Usage: .ci/check-no-test-hooks.sh <folder with Zettara, libUpdate.so, libSendComment.so>
# Exits 0 when clean, 1 when a hook name is found, 2 when it cannot check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:?usage: $0 <folder with Zettara, libUpdate.so, libSendComment.so>}

mapfile -t names < <(grep -o '"ZETTARA_[A-Z_]*"' "$root/src/companion/common/test_hooks.h" |
  tr -d '"' | sort -u)
if ((${#names[@]} == 0)); then
  echo "check-no-test-hooks: no hook names found in test_hooks.h" >&2
  exit 2
fi
patterns=()
for name in "${names[@]}"; do patterns+=(-e "$name"); done

status=0
for binary in Zettara libUpdate.so libSendComment.so; do
  file="$folder/$binary"
  if [ ! -f "$file" ]; then
    echo "check-no-test-hooks: $file does not exist" >&2
    exit 2
  fi
  found=$(strings -a "$file" | grep -oF "${patterns[@]}" | sort -u || true)
  if [ -n "$found" ]; then
    echo "check-no-test-hooks: FAILED: $file carries test hooks:" >&2
    sed 's/^/    /' <<<"$found" >&2
    status=1
  fi
done
if ((status == 0)); then
  echo "check-no-test-hooks: none of ${#names[@]} hook names in $folder"
fi
exit "$status"
