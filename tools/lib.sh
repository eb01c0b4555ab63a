# Shared set-up for the run and test commands: packages, locale, the Wine
# prefix, the display and the build. Sourced, not run.

FONTIVA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FONTIVA_CACHE="${FONTIVA_CACHE:-$FONTIVA_ROOT/.cache}"
export WINEPREFIX="${FONTIVA_WINEPREFIX:-$FONTIVA_CACHE/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

FONTIVA_PACKAGES=(mingw-w64 wine wine32:i386 xvfb xdotool imagemagick fonts-wqy-zenhei
                  locales python3 python3-pytest python3-pil cmake make x11-utils
                  fonts-dejavu-core fonts-liberation2 fonts-freefont-ttf curl procps)

log() { printf '[fontiva] %s\n' "$*" >&2; }

fontiva_install_packages() {
    local missing=()
    for package in "${FONTIVA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing: ${missing[*]}"
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            dpkg --add-architecture i386
        fi
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
        log "generating the zh_CN.UTF-8 locale"
        sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null
    fi
}

# Writes wine's own output to files: its background services inherit open
# pipes and would keep a reader waiting.
fontiva_wine_quiet() {
    mkdir -p "$FONTIVA_CACHE"
    "$@" >>"$FONTIVA_CACHE/wine.log" 2>&1 </dev/null
}

fontiva_prepare_prefix() {
    local marker="$WINEPREFIX/.fontiva-ready"
    if [ ! -f "$marker" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        fontiva_wine_quiet wineboot -i
        fontiva_wine_quiet wineserver -w
        # Wine has no 宋体: serve it, and its Latin name, from WenQuanYi Zen Hei.
        for face in 宋体 SimSun 新宋体 NSimSun; do
            fontiva_wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                /v "$face" /t REG_SZ /d 'WenQuanYi Zen Hei' /f
        done
        fontiva_wine_quiet wineserver -w
        touch "$marker"
    fi
    # A persistent server makes every later start of a Wine program cheap.
    # (it answers with a failure when a server is already running: fine)
    fontiva_wine_quiet wineserver -p || true
}

# Starts a private Xvfb unless one is asked to use the caller's display.
fontiva_start_xvfb() {
    local display_number="${1:-97}"
    while [ -e "/tmp/.X${display_number}-lock" ] && ! xdpyinfo -display ":${display_number}" >/dev/null 2>&1; do
        rm -f "/tmp/.X${display_number}-lock" "/tmp/.X11-unix/X${display_number}"
    done
    if ! xdpyinfo -display ":${display_number}" >/dev/null 2>&1; then
        Xvfb ":${display_number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        FONTIVA_XVFB_PID=$!
        for _ in $(seq 1 100); do
            xdpyinfo -display ":${display_number}" >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    export DISPLAY=":${display_number}"
}

fontiva_build() {
    local build_dir="${FONTIVA_BUILD_DIR:-$FONTIVA_ROOT/build}"
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S "$FONTIVA_ROOT" -B "$build_dir" \
            -DCMAKE_TOOLCHAIN_FILE="$FONTIVA_ROOT/cmake/mingw-i686.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$build_dir" -j "$(nproc)" -- --no-print-directory >"$FONTIVA_CACHE/build.log" 2>&1 \
        || { cat "$FONTIVA_CACHE/build.log" >&2; return 1; }
    FONTIVA_BUILD_DIR="$build_dir"
    export FONTIVA_BUILD_DIR
}

fontiva_stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}
