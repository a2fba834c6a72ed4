#!/usr/bin/env bash
# `make bench`: runs every benchmark program and ends with their summary
# lines, one per figure:  BENCH <name> <value> <unit> [ratio=<v> vs <what>]
# Native programs come from the Release tree (build/bench), Windows ones from
# the Windows tree, run under Wine in a headless session. A program is any
# executable named tav_bench_* under bench/ of its tree.
#   bench.sh BUILD
set -uo pipefail
build="$(cd "$1" && pwd)"  # absolute: programs run from inside the tree
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
status=0

for prog in $(find "$build/bench/bench" -type f -name 'tav_bench_*' -perm -u+x ! -name '*.exe' 2>/dev/null | sort); do
    echo "== $(basename "$prog")"
    (cd "$build/bench" && "$prog") | tee -a "$out" || status=1
done

winprogs=$(find "$build/win/bench" -type f -name 'tav_bench_*.exe' 2>/dev/null | sort)
if [ -n "$winprogs" ]; then
    unset DISPLAY PULSE_SERVER
    mkdir -p "$build/win/benchrun"
    rm -rf "$build/win/benchrun/base"
    cp -a "$build/base" "$build/win/benchrun/base"
    for prog in $winprogs; do
        echo "== $(basename "$prog") (Wine)"
        runner=wine64
        # Networking benchmarks listen on the local host: in a namespace
        # where it is 127.0.0.1 (netns-run.sh).
        case "$(basename "$prog")" in tav_bench_net*) runner="$build/win/netns-run" ;; esac
        "$here/headless.sh" "$build/win" bash -c "cd '$build/win/benchrun' && '$runner' '$prog'" \
            | tr -d '\r' | tee -a "$out" || status=1
    done
fi

echo
echo "== summary"
grep -E '^BENCH ' "$out" || echo "(no figures)"
exit $status
