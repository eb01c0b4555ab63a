#!/usr/bin/env bash
# Builds the project and runs the repaint benchmark under Wine and Xvfb,
# printing its table. Usage: tools/bench.sh [display number]
set -eu
source "$(dirname "$0")/lib.sh"
fontiva_start_xvfb "${1:-96}"
fontiva_prepare_prefix
fontiva_build
out="$FONTIVA_CACHE/repaint_bench.out"
# Wine's output goes to files: its services would keep a pipe open.
wine "$FONTIVA_BUILD_DIR/bench/repaint_bench.exe" >"$out" 2>"$FONTIVA_CACHE/repaint_bench.err" </dev/null
cat "$out"
