#!/bin/bash
# Checks that every file of src/platform/os/win32 compiles for 64-bit Windows with mingw-w64
# (syntax only, against Qt's headers), then cross-compiles the registry code
# (src/platform/os/registry: the operations and the Windows backend, which need no Qt) and runs
# its tests under wine against wine's real registry: once with wine's default ANSI code page and
# once with
# LC_ALL=zh_CN.UTF-8 (code page 936). Headless: no display is used. Prints "N passed, N failed"
# and exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)

# --- tools (installed once; needs root when something is missing) ---
packages=(g++-mingw-w64-x86-64-win32 wine wine64 locales)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "win32-tests: missing packages ${missing[*]} (run as root to install them)" >&2
        exit 2
    fi
    echo "win32-tests: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "win32-tests: locale zh_CN.UTF-8 missing (run as root to generate it)" >&2
        exit 2
    fi
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

work=$(mktemp -d /tmp/zettara-win32.XXXXXX)
cleanup() {
    for prefix in "$work"/prefix-*; do
        [[ -d $prefix ]] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# --- every file of src/platform/os/win32 checked by the Windows compiler ---
# The Qt-using files have no Windows Qt here; Qt's headers (those of this system, as system headers)
# are mostly platform-neutral, so a syntax-only compile still catches our own mistakes.
qt=/usr/include/x86_64-linux-gnu/qt6
for source in "$root"/src/platform/os/win32/*.cpp; do
    x86_64-w64-mingw32-g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wshadow -Wold-style-cast \
        -Woverloaded-virtual -Wnon-virtual-dtor -Werror -I"$root/src" \
        -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets" \
        "$source"
done
echo "win32-tests: $(ls "$root"/src/platform/os/win32/*.cpp | wc -l) files of src/platform/os/win32 compile for Windows"

# --- build ---
exe=$work/test_registry_win32.exe
x86_64-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -Werror -static \
    -I"$root/src" -I"$root/tests/win32" \
    "$root/tests/win32/test_registry_win32.cpp" \
    "$root/src/platform/os/registry/registry.cpp" \
    "$root/src/platform/os/registry/win32_registry.cpp" \
    -o "$exe"

# --- run ---
total_passed=0
total_failed=0
run() {
    local label=$1
    shift
    local prefix=$work/prefix-$label
    local log=$work/$label.log
    echo "== $label"
    set +e
    env -u DISPLAY -u WAYLAND_DISPLAY "$@" WINEPREFIX="$prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
        timeout 100 wine "$exe" >"$log" 2>&1
    local status=$?
    set -e
    tr -d '\r' <"$log" | grep -v '^$' || true
    local summary
    summary=$(tr -d '\r' <"$log" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -1 || true)
    if [[ -z $summary ]]; then
        echo "win32-tests: $label did not finish (exit status $status)"
        total_failed=$((total_failed + 1))
        return
    fi
    local passed failed
    read -r passed _ failed _ <<<"${summary//,/}"
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    if ((status != 0 && failed == 0)); then total_failed=$((total_failed + 1)); fi
}

run default-codepage
run codepage-936 LC_ALL=zh_CN.UTF-8

echo "win32-tests: $total_passed passed, $total_failed failed ($(($(date +%s) - started)) s)"
((total_failed == 0))
