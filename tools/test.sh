#!/usr/bin/env bash
# Installs what the tests need, builds Fontiva and its tests, and runs every
# test: the GoogleTest executables under Wine in a private Xvfb display, and
# the Python suites (local server, the real program driven through X).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

fontiva_install_packages
mkdir -p "$FONTIVA_CACHE"
fontiva_build

cleanup() {
    fontiva_stop_wine
    if [ -n "${FONTIVA_XVFB_PID:-}" ]; then kill "$FONTIVA_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

fontiva_start_xvfb 97
fontiva_prepare_prefix

cd "$FONTIVA_BUILD_DIR"
ctest --output-on-failure --no-tests=error "$@"
