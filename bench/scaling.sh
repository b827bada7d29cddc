#!/usr/bin/env bash
# Runs each address-book benchmark at 50,000 and at 100,000 members and prints every
# step's two times with their ratio: a step whose cost grows in proportion to the
# members shows a ratio near 2 (steps that do not depend on the count stay near 1).
# Run: bench/scaling.sh [BUILD_FOLDER] (from the top of the source tree; the build
# folder is build by default)
set -eu
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for bench in bench_views bench_memberlist bench_organiser bench_msgwin; do
    "$build/bench/$bench" --members 50000 >"$work/small" 2>/dev/null
    "$build/bench/$bench" --members 100000 >"$work/large" 2>/dev/null
    echo "== $bench"
    printf '%-58s %10s %10s %6s\n' "step" "50,000" "100,000" "ratio"
    # The first "N ms" of a line is its time; what stands before it names the step.
    awk '
        function ms(line) { return match(line, /[0-9.]+ ms/) ? substr(line, RSTART, RLENGTH - 3) + 0 : -1 }
        function label(line, text) { match(line, /[0-9.]+ ms/); text = substr(line, 1, RSTART - 1); sub(/ +$/, "", text); return text }
        FNR == NR { if (ms($0) >= 0) small[++n] = ms($0); next }
        (ms($0) >= 0) {
            t = ms($0); ++m
            printf "%-58s %10.1f %10.1f %6.2f\n", label($0), small[m], t, (small[m] > 0 ? t / small[m] : 0)
        }' "$work/small" "$work/large"
    echo
done
