#!/usr/bin/env bash
# Runs tests/package/test_installed.py against the installed package as a new ordinary user.
# Needs root: it adds the user, and takes the supplied note database away (and puts it back)
# for the case without any. Changes the machine; .ci/run calls it after installing the package.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "run_installed.sh: run as root" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
user=zettara-test
supplied=/usr/share/zettara/Zettara.mdb
if ! command -v Zettara >/dev/null || [ ! -f "$supplied" ]; then
  echo "run_installed.sh: the package is not installed" >&2
  exit 2
fi

work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  if [ -f "$work/supplied.mdb" ]; then mv "$work/supplied.mdb" "$supplied"; fi
  userdel -r "$user" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
userdel -r "$user" 2>/dev/null || true
useradd --create-home --shell /bin/bash "$user"
# The user reads the test from a folder of its own; the checkout may sit in root's home.
install -d -o "$user" "$work/test"
install -m 644 "$here/test_installed.py" "$here/../e2e/harness.py" "$work/test/"

as_user() {
  runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" PATH=/usr/local/bin:/usr/bin:/bin \
    LANG=C.UTF-8 ZETTARA_BIN=/nonexistent PYTHONDONTWRITEBYTECODE=1 \
    python3 "$work/test/test_installed.py" -v "$@"
}
as_user InstalledTest.test_first_start_copies_the_supplied_store_and_keeps_the_users_notes
mv "$supplied" "$work/supplied.mdb"
as_user InstalledTest.test_without_any_note_database_it_says_so_and_creates_nothing
