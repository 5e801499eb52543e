#!/bin/sh
# Runs each fuzz program of build_dir for the given seconds on a working copy of its seeds.
# An input that breaks a parser is left in build_dir/fuzz/findings/<target>/ and fails the run;
# once mended, it belongs in tests/fuzz/regressions/<target>/.
set -eu
build_dir=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
failed=""
# The parsers read and write real files, and a saved file is synced to disk: keep that off the disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# Allocation stacks and a large quarantine (which every leak check scans) cost more than the
# parsers themselves; five frames still name the culprit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=5:quarantine_size_mb=16}"
for target in "$@"; do
    work="$build_dir/fuzz/work/$target"
    findings="$build_dir/fuzz/findings/$target"
    mkdir -p "$work" "$findings" "$here/regressions/$target"
    echo "== fuzz_$target for ${seconds}s"
    # Coverage grows from the seeds and the earlier runs' finds; the seeds themselves stay as they are.
    if ! nice -n 19 "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -dict="$here/velkor.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
        "$work" "$here/corpus/$target" "$here/regressions/$target"; then
        failed="$failed $target"
    fi
done
if [ -n "$failed" ]; then
    echo "fuzzing found faults in:$failed (inputs under $build_dir/fuzz/findings/)" >&2
    exit 1
fi
