#!/usr/bin/env bash
# `make fuzz`: every harness of the fuzz tree for SECONDS each, one after
# another, then one line per harness with the executions it ran.
#   fuzz.sh FUZZ_BUILD SECONDS
set -uo pipefail
build="$1" seconds="$2"
log="$build/fuzz-logs"
mkdir -p "$log"
status=0
for t in $(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: *//p'); do
    echo "== $t (${seconds} s)"
    TAV_FUZZ_SECONDS="$seconds" ctest --test-dir "$build" -R "^$t\$" -V --timeout $((seconds + 300)) \
        >"$log/$t.log" 2>&1 || { status=1; echo "   FAILED: see $log/$t.log"; }
    grep -Eo 'stat::number_of_executed_units: [0-9]+' "$log/$t.log" | tail -n 1
done
echo
echo "== summary (executions per harness)"
for f in "$log"/*.log; do
    printf '%-32s %s\n' "$(basename "$f" .log)" \
        "$(grep -Eo 'stat::number_of_executed_units: [0-9]+' "$f" | tail -n 1 | awk '{print $2}')"
done
exit $status
