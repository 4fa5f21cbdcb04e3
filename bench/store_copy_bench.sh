#!/bin/sh
# Whole-store backup and restore against dd, then the peak memory of one
# backup and one restore as /usr/bin/time measures it.
#   bench/store_copy_bench.sh BIN_DIR WORK_DIR [ROUNDS]
# e.g. bench/store_copy_bench.sh build/release/bin /var/tmp 4
set -eu
bench="$1/quarnex_store_copy_bench"
dir="$2"
rounds="${3:-4}"
"$bench" "$dir" "$rounds"
"$bench" "$dir" make
for mode in backup restore; do
    /usr/bin/time -v "$bench" "$dir" "$mode" 2>&1 |
        grep -E "^(backup|restore) |Maximum resident set size|Elapsed"
done
"$bench" "$dir" clean
