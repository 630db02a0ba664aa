#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each for the given number of
# seconds (default 300) over a copy of its seed corpus in tests/fuzz/corpus/, so the
# repository's corpus never grows. Prints each target's executions per second and a
# summary; exits non-zero when any target finds a crash, a leak or a broken oracle.
# A finding's input is kept under build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
targets=(fuzz_registry fuzz_redirect fuzz_url fuzz_encoding fuzz_response_head
         fuzz_cookie_line fuzz_command_line fuzz_graph_answer fuzz_multipart)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_targets -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings=build-fuzz/findings
summary=()
failed=0
passed=0

for target in "${targets[@]}"; do
    corpus="$work/$target"
    mkdir -p "$corpus" "$findings/$target"
    cp tests/fuzz/corpus/"$target"/* "$corpus"/
    log="$work/$target.log"
    echo "== $target: ${seconds}s"
    status=0
    # One run per target, one process: -timeout catches a hang, -rss_limit_mb runaway memory.
    build-fuzz/bin/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/$target/" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cover=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
    if [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
        grep -E 'ERROR|oracle failed|SUMMARY|Test unit written' "$log" | head -20 || true
        tail -40 "$log" > "$findings/$target/last-run.log"
        summary+=("$(printf '%-20s FINDING (exit %d), see %s' "$target" "$status" "$findings/$target/")")
    else
        passed=$((passed + 1))
        summary+=("$(printf '%-20s %10s execs %8s execs/s  %s' "$target" "${runs:-?}" "${rate:-?}" "$cover")")
    fi
done

echo
echo "== fuzz summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
