#!/usr/bin/env bash
# Start-up guard: the editor against a plain Qt window of its size holding one
# control of each kind it uses (bench/startup/baseline.cpp). Both start
# alternately, RUNS times each (15), under Xvfb (1280x1024) with openbox, after
# one unmeasured start each. The same preloaded probe (bench/startup/probe.cpp)
# stops each program once its first window is exposed and drawn, and reports the
# time since the launch, the resident memory and the processor time used.
# Prints the medians and the editor's ratios; fails when the ratio of the time
# or of the memory is above 1.10.
#
# Why a preloaded probe: both programs are measured by the same code at the same
# moment (their first drawn frame, not whenever an outside watcher polls), and
# neither program carries any code for it. The processor column helps to read a
# run on a busy machine, where the waiting for the X server and the window
# manager varies most.
#
# Usage: bench/startup.sh [RUNS]    (builds Release in $BUILD_DIR, build-startup;
# OVN_STARTUP_EDITOR names another editor binary to measure, such as an older build;
# OVN_STARTUP_EDITOR_ARGS gives the editor arguments, such as a menu file to open)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
limit=1.10
build=${BUILD_DIR:-build-startup}

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVN_BUILD_TESTS=OFF -DOVN_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target ovenmenu startup_baseline startup_probe >/dev/null
editor=${OVN_STARTUP_EDITOR:-$PWD/$build/app/ovenmenu}
baseline=$PWD/$build/bench/startup/startup_baseline
probe=$PWD/$build/bench/startup/startup_probe.so

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A display and a window manager of our own; Xvfb picks a free display number and
# writes it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "startup.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
sleep 0.5  # openbox reads its configuration after announcing itself

# Both programs see the same environment: a fresh home, the X11 platform, and a
# session bus that does not answer (so no accessibility bus, and no bus started on the fly).
export HOME="$work/home"
mkdir -p "$HOME"
unset QT_QPA_PLATFORM QT_LINUX_ACCESSIBILITY_ALWAYS_ON
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

# One start of $1 (with the arguments after $2): appends "time KiB processor-time" (ns) to $2.
measure() {
    local program=$1 to=$2 out="$work/probe.out"
    shift 2
    rm -f "$out"
    OVN_PROBE_T0=$(date +%s%N) OVN_PROBE_OUT="$out" LD_PRELOAD="$probe" timeout 30 "$program" "$@" \
        >"$work/program.log" 2>&1 || true
    [[ -s $out ]] || { echo "startup.sh: $program showed no window" >&2; tail -5 "$work/program.log" >&2; exit 1; }
    cat "$out" >>"$to"
}

read -r -a editor_args <<<"${OVN_STARTUP_EDITOR_ARGS:-}"
measure "$baseline" /dev/null  # warm-up: caches, the editor's menu directory
measure "$editor" /dev/null "${editor_args[@]}"
for _ in $(seq "$runs"); do
    measure "$baseline" "$work/baseline"
    measure "$editor" "$work/editor" "${editor_args[@]}"
done

median() {  # column $2 of file $1
    sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
bt=$(median "$work/baseline" 1) bm=$(median "$work/baseline" 2) bc=$(median "$work/baseline" 3)
et=$(median "$work/editor" 1) em=$(median "$work/editor" 2) ec=$(median "$work/editor" 3)
awk -v runs="$runs" -v bt="$bt" -v bm="$bm" -v bc="$bc" -v et="$et" -v em="$em" -v ec="$ec" -v limit="$limit" 'BEGIN {
    rt = et / bt; rm = em / bm
    printf "median of %d alternating starts each, Xvfb 1280x1024 with openbox\n", runs
    printf "%-10s %12s %12s %14s\n", "", "first window", "resident", "(processor)"
    printf "%-10s %9.1f ms %9.1f MB %11.1f ms\n", "baseline", bt / 1e6, bm / 1024, bc / 1e6
    printf "%-10s %9.1f ms %9.1f MB %11.1f ms\n", "editor", et / 1e6, em / 1024, ec / 1e6
    printf "%-10s %11.3fx %11.3fx %12.3fx   (limit %.2fx on the first two)\n", "ratio", rt, rm, ec / bc, limit
    if (rt > limit || rm > limit) { print "startup.sh: the editor is over the limit"; exit 1 }
}'
