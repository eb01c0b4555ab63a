#!/usr/bin/env bash
# Installs what Fontiva needs, builds it, starts the local stand-in of the
# maker's server with a demo game folder, and runs Fontiva.exe under Wine.
#
#   bash tools/run.sh                     on the caller's DISPLAY, or a private Xvfb
#   bash tools/run.sh --screenshot F.png  save a PNG of the screen a few seconds
#                                         after start, then end the program
set -euo pipefail
source "$(dirname "$0")/lib.sh"

screenshot=""
delay=6
while [ $# -gt 0 ]; do
    case "$1" in
        --screenshot) screenshot="$(realpath -m "$2")"; shift 2 ;;
        --delay) delay="$2"; shift 2 ;;
        *) echo "usage: $0 [--screenshot FILE.png] [--delay SECONDS]" >&2; exit 2 ;;
    esac
done

fontiva_install_packages
mkdir -p "$FONTIVA_CACHE"
fontiva_build

server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    if [ -n "$screenshot" ]; then fontiva_stop_wine; fi
    if [ -n "${FONTIVA_XVFB_PID:-}" ]; then kill "$FONTIVA_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    fontiva_start_xvfb 96
    log "no display given: running in Xvfb $DISPLAY"
    log "take a screenshot with: DISPLAY=$DISPLAY import -window root shot.png"
fi
fontiva_prepare_prefix

# The program folder: Fontiva.exe beside its siblings, as a user unpacks it.
program_dir="$FONTIVA_CACHE/demo/Fontiva"
mkdir -p "$program_dir"
cp "$FONTIVA_BUILD_DIR/Fontiva.exe" "$program_dir/"
for sibling in Rapid.exe Herald.dll; do
    [ -f "$FONTIVA_BUILD_DIR/siblings/$sibling" ] && cp "$FONTIVA_BUILD_DIR/siblings/$sibling" "$program_dir/"
done

# The local maker server and a demo game folder recorded in the registry.
server_root="$FONTIVA_CACHE/demo/server"
game_dir="$FONTIVA_CACHE/demo/LOL"
port_file="$FONTIVA_CACHE/demo/server.port"
if [ -f "$FONTIVA_ROOT/tools/maker_server.py" ]; then
    rm -f "$port_file"
    # The update file names the server's own base, filled in as it is served.
    bash "$FONTIVA_ROOT/tools/prepare_server_root.sh" "$server_root" >/dev/null
    /usr/bin/python3 "$FONTIVA_ROOT/tools/maker_server.py" --port 0 --root "$server_root" \
        --port-file "$port_file" >"$FONTIVA_CACHE/demo/server.log" 2>&1 &
    server_pid=$!
    for _ in $(seq 1 50); do [ -s "$port_file" ] && break; sleep 0.1; done
    base="$(cat "$port_file")"
    export FONTIVA_DOWNLOAD_SERVER="$base" FONTIVA_WEB_SERVER="$base"
    log "maker server at $base"
fi
mkdir -p "$game_dir/Game/DATA/Fonts"
[ -f "$game_dir/Game/DATA/Fonts/FZDHTK.TTF" ] || \
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$game_dir/Game/DATA/Fonts/FZDHTK.TTF"
game_win="$(winepath -w "$game_dir" 2>/dev/null)"
# A 32-bit program reads the 32-bit view of HKLM\SOFTWARE.
fontiva_wine_quiet wine reg add 'HKLM\SOFTWARE\Tencent\LOL' /v InstallPath /t REG_SZ \
    /d "$game_win" /f /reg:32

log "starting Fontiva.exe from $program_dir"
cd "$program_dir"
if [ -n "$screenshot" ]; then
    wine Fontiva.exe >"$FONTIVA_CACHE/demo/fontiva.log" 2>&1 </dev/null &
    sleep "$delay"
    import -window root "$screenshot"
    log "screenshot saved to $screenshot"
else
    wine Fontiva.exe >"$FONTIVA_CACHE/demo/fontiva.log" 2>&1 </dev/null
fi
