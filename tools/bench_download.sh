#!/usr/bin/env bash
# Download benchmark: the download facility (bench/download_bench.exe under
# Wine) against curl, on the same files from the local maker server in the
# same run, for a 10 MB and a 50 MB file, so that any growth of memory with
# the file size shows. Prints throughput (best of RUNS for both), the ratio
# to curl, and the Wine process's working set before the first transfer and
# its peaks.
#
# Usage: tools/bench_download.sh [RUNS]    (default 3)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
runs=${1:-3}

build_dir="${FONTIVA_BUILD_DIR:-$FONTIVA_ROOT/build}"
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$FONTIVA_ROOT" -B "$build_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$FONTIVA_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
mkdir -p "$FONTIVA_CACHE"
cmake --build "$build_dir" --target download_bench -j "$(nproc)" >"$FONTIVA_CACHE/bench_download_build.log" 2>&1 ||
    { cat "$FONTIVA_CACHE/bench_download_build.log" >&2; exit 1; }
bench_exe="$build_dir/bench/download_bench.exe"

work=$(mktemp -d /tmp/fontiva-bench-download.XXXXXX)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

typeface="$work/root/LOL/Typeface"
mkdir -p "$typeface"
head -c $((10 * 1000 * 1000)) /dev/urandom >"$typeface/1.TTF"
head -c $((50 * 1000 * 1000)) /dev/urandom >"$typeface/2.TTF"

python3 "$FONTIVA_ROOT/tools/maker_server.py" --port 0 --root "$work/root" \
    --port-file "$work/port" --lifetime 1800 >"$work/server.out" 2>"$work/server.err" &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "maker server did not start" >&2; cat "$work/server.err" >&2; exit 1; }
base=$(cat "$work/port")

if [ -z "${DISPLAY:-}" ]; then fontiva_start_xvfb 96; fi
fontiva_prepare_prefix || true  # a running wineserver answers -p with a failure

value() { sed -n "s/^$1 //p" "$2"; }

printf '%-6s %12s %12s %7s %14s %14s %14s\n' file curl_MB/s ours_MB/s ratio ws_before_KiB peak_ws_KiB peak_pagefile_KiB
for entry in 1:10MB 2:50MB; do
    n=${entry%%:*} label=${entry#*:}
    url="$base/LOL/Typeface/$n.TTF"
    best_curl=0
    for _ in $(seq 1 "$runs"); do
        speed=$(curl -s -o "$work/curl.bin" -w '%{speed_download}' "$url")
        cmp -s "$work/curl.bin" "$typeface/$n.TTF" || { echo "curl got a different file" >&2; exit 1; }
        best_curl=$(awk -v a="$best_curl" -v b="$speed" 'BEGIN { print (b > a) ? b : a }')
    done
    out="$work/bench-$n.out"
    wine "$bench_exe" "$url" "Z:${work//\//\\}\\wine.bin" "$runs" >"$out" 2>"$work/bench-$n.err" </dev/null ||
        { cat "$out" "$work/bench-$n.err" >&2; exit 1; }
    cmp -s "$work/wine.bin" "$typeface/$n.TTF" || { echo "the download facility got a different file" >&2; exit 1; }
    ours=$(value best_mbps "$out")
    curl_mbps=$(awk -v s="$best_curl" 'BEGIN { printf "%.1f", s / 1e6 }')
    ratio=$(awk -v a="$ours" -v b="$curl_mbps" 'BEGIN { printf "%.2f", a / b }')
    printf '%-6s %12s %12s %7s %14s %14s %14s\n' "$label" "$curl_mbps" "$ours" "$ratio" \
        "$(value working_set_before_kib "$out")" "$(value peak_working_set_kib "$out")" \
        "$(value peak_pagefile_kib "$out")"
done
