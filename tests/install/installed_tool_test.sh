#!/usr/bin/env bash
# The tool as a user gets it, started from where it was installed:
#   installed_tool_test.sh prefix BUILD_DIR   cmake --install into a temporary prefix
#   installed_tool_test.sh deb BUILD_DIR      the .deb from cpack, its control data, unpacked
# Either way the installed program, beside no panel resource of its own, must come up fully
# against the installed kervano-sim on a pty: echo check, both parameter reads, firmware.
set -euo pipefail

mode=$1
build=$2
CMAKE=${CMAKE:-cmake}
CPACK=${CPACK:-cpack}

work=$(mktemp -d /tmp/kv-installed-XXXXXX)
sim_pid=""
scope_pid=""
cleanup() {
    if [ -n "$scope_pid" ]; then kill "$scope_pid" 2>/dev/null || true; fi
    if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
need() {
    command -v "$1" >/dev/null || fail "$1 is missing (scripts/install-deps installs it)"
}

case $mode in
prefix)
    "$CMAKE" --install "$build" --prefix "$work/root" >"$work/install.log" ||
        fail "cmake --install: $(cat "$work/install.log")"
    root=$work/root
    ;;
deb)
    need dpkg-deb
    "$CPACK" -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
        fail "cpack: $(cat "$work/cpack.log")"
    debs=("$work"/deb/kervano-scope_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no kervano-scope_*.deb"
    depends=$(dpkg-deb -f "${debs[0]}" Depends)
    echo "Depends: $depends"
    for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libqt6serialport6 \
        libqt6uitools6 libc6 libstdc++6; do
        [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
            fail "Depends lacks $package: $depends"
    done
    dpkg-deb -x "${debs[0]}" "$work/root"
    root=$work/root/usr
    ;;
*)
    fail "unknown mode '$mode'"
    ;;
esac

# Exactly the tool and its emulator among the programs; everything else in its place.
[ "$(ls "$root/bin")" = $'kervano-scope\nkervano-sim' ] ||
    fail "installed programs: $(ls "$root/bin" | tr '\n' ' ')"
for file in share/kervano-scope/KERVANO1trgV13.ui share/applications/kervano-scope.desktop \
    share/icons/hicolor/scalable/apps/kervano-scope.svg share/man/man1/kervano-scope.1.gz \
    share/doc/kervano-scope/copyright; do
    [ -s "$root/$file" ] || fail "$file is not installed"
done

if [ "$mode" = prefix ]; then
    need desktop-file-validate
    need groff
    desktop-file-validate "$root/share/applications/kervano-scope.desktop" ||
        fail "desktop entry does not validate"
    warnings=$(zcat "$root/share/man/man1/kervano-scope.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "man page: $warnings"
fi

# The emulator, paced like a real line, logs "frame ORDER WORD0" for every request.
"$root/bin/kervano-sim" --baud 19200 --log >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/sim.log" ] && break
    sleep 0.1
done
device=$(head -n 1 "$work/sim.log")
[[ $device == /dev/* ]] || fail "kervano-sim gave no device: $device"

# Settings of its own: the user's are not the test's to change.
KERVANO_SCOPE_SETTINGS=$work/settings.ini QT_QPA_PLATFORM=offscreen \
    "$root/bin/kervano-scope" --port "1=$device" >"$work/scope.log" 2>&1 &
scope_pid=$!
# Start-up ends with the firmware read (order 7); the panel is shown right after it.
for _ in $(seq 150); do
    grep -q '^frame 7 ' "$work/sim.log" && break
    kill -0 "$scope_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 0.3
kill -0 "$scope_pid" 2>/dev/null || {
    wait "$scope_pid" && code=0 || code=$?
    fail "kervano-scope ended with $code: $(cat "$work/scope.log")"
}
kill "$scope_pid"
wait "$scope_pid" 2>/dev/null || true
scope_pid=""

requests=$(sed -n 's/^frame //p' "$work/sim.log" | head -n 4 | awk '{ print ($1 == 7) ? $1 : $1 " " $2 }')
[ "$requests" = $'5 0\n2 0\n2 1\n7' ] ||
    fail "requests at start-up: $(tr '\n' ';' <<<"$requests") log: $(cat "$work/scope.log")"
echo "installed ($mode) kervano-scope came up: echo check, full and short packet, firmware"
