#!/usr/bin/env bash
# One libFuzzer harness: replay every seed, then fuzz for a while.
#   fuzz-run.sh EXE SCRATCH_CORPUS SECONDS SEED_DIR...
# TAV_FUZZ_SECONDS in the environment overrides SECONDS (`make fuzz`).
# New inputs land in SCRATCH_CORPUS (build tree); a crash writes its input
# beside it as crash-<hash>, to be fixed and then kept under the seeds.
set -uo pipefail
exe="$1" scratch="$2" seconds="${TAV_FUZZ_SECONDS:-$3}"
shift 3
mkdir -p "$scratch"
seeds=()
for dir in "$@"; do
    [ -d "$dir" ] && seeds+=("$dir")
done
cd "$(dirname "$scratch")"
exec "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$(dirname "$scratch")/" "$scratch" "${seeds[@]}"
