#!/bin/bash
# Fills the root folder of the local maker server (tools/maker_server.py):
#
#   DIR/LOL/Typeface/1.TTF .. 8.TTF   eight distinct TrueType files taken from
#                                     Debian font packages
#   DIR/LOL/Typeface/data.txt         the catalogue: the eight size texts,
#                                     separated by "[", GBK
#   DIR/LOL/Typeface/paizi.txt        the update file for the current version
#                                     "v1.0": version[download page[feedback
#                                     page, GBK
#
# Usage: tools/prepare_server_root.sh DIR [WEB_BASE]
#
# WEB_BASE (or the environment variable FONTIVA_WEB_BASE) is the address of the
# web server named in paizi.txt, e.g. http://127.0.0.1:8080. Without it the
# file names the token %SERVER_BASE%, which the maker server replaces by its
# own base address when it serves the file.
#
# Entry 1 stands for the game's own font, so it is a CJK font; its size text,
# like every other, comes from the real size of the copied file. Missing font
# packages are installed with apt-get (as root). Running the script again
# leaves an up-to-date folder as it is.
set -euo pipefail

usage() {
    echo "usage: $0 DIR [WEB_BASE]" >&2
    exit 2
}

if [ $# -lt 1 ] || [ $# -gt 2 ]; then usage; fi
root=$1
web_base=${2:-${FONTIVA_WEB_BASE:-%SERVER_BASE%}}
web_base=${web_base%/}

# One line per entry: candidates "package:file", the first one found wins.
font_slots=(
    "fonts-droid-fallback:/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"
    "fonts-dejavu-core:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    "fonts-dejavu-core:/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"
    "fonts-dejavu-core:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
    "fonts-liberation:/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf fonts-liberation2:/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
    "fonts-liberation:/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf fonts-liberation2:/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf"
    "fonts-liberation:/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf fonts-liberation2:/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf"
    "fonts-noto-mono:/usr/share/fonts/truetype/noto/NotoMono-Regular.ttf fonts-freefont-ttf:/usr/share/fonts/truetype/freefont/FreeSans.ttf"
)

download_page="$web_base/forum.php?mod=viewthread&tid=126&extra=page%3D1"
feedback_page="$web_base/forum.php?mod=viewthread&tid=129&extra=page%3D1"

die() {
    echo "prepare_server_root: $*" >&2
    exit 1
}

apt_updated=0
apt_install() {
    local package=$1
    [ "$(id -u)" = 0 ] || return 1
    command -v apt-get >/dev/null || return 1
    # Another apt-get may hold the dpkg lock: wait for it instead of failing.
    local apt=(apt-get -o DPkg::Lock::Timeout=600 -y -q)
    if ! apt-cache show "$package" >/dev/null 2>&1 && [ $apt_updated = 0 ]; then
        apt_updated=1
        "${apt[@]}" update >&2 || true
    fi
    apt-cache show "$package" >/dev/null 2>&1 || return 1
    echo "prepare_server_root: installing $package" >&2
    DEBIAN_FRONTEND=noninteractive "${apt[@]}" install --no-install-recommends "$package" >&2
}

# Prints the font file for one slot, installing its package when needed.
find_font() {
    local candidate package file
    for candidate in $1; do
        file=${candidate#*:}
        if [ -f "$file" ]; then
            echo "$file"
            return 0
        fi
    done
    for candidate in $1; do
        package=${candidate%%:*}
        file=${candidate#*:}
        if apt_install "$package" && [ -f "$file" ]; then
            echo "$file"
            return 0
        fi
    done
    return 1
}

# Writes stdin to a file through a temporary beside it, so a server that
# reads the folder meanwhile sees the old file or the new one, never half.
write_file() {
    local target=$1 temporary
    temporary=$(mktemp "$target.XXXXXX")
    cat >"$temporary"
    chmod 644 "$temporary"
    if cmp -s "$temporary" "$target"; then
        rm -f "$temporary"
    else
        mv -f "$temporary" "$target"
    fi
}

to_gbk() {
    iconv -f UTF-8 -t GBK
}

command -v iconv >/dev/null || die "iconv is needed (package libc-bin)"

typeface="$root/LOL/Typeface"
mkdir -p "$typeface"

sizes=()
declare -A seen=()
for n in $(seq 1 8); do
    slot=${font_slots[$((n - 1))]}
    source_font=$(find_font "$slot") ||
        die "no font for entry $n: none of [$slot] is installed or installable (run as root with apt reachable)"
    [ -z "${seen[$source_font]:-}" ] || die "entry $n repeats $source_font"
    seen[$source_font]=1
    write_file "$typeface/$n.TTF" <"$source_font"
    bytes=$(stat -c %s "$typeface/$n.TTF")
    sizes+=("$(awk -v b="$bytes" 'BEGIN { printf "%.2f M", b / 1048576 }')")
done

catalogue=$(IFS='['; echo "${sizes[*]}")
printf '%s' "$catalogue" | to_gbk | write_file "$typeface/data.txt"
printf '%s[%s[%s' "v1.0" "$download_page" "$feedback_page" | to_gbk |
    write_file "$typeface/paizi.txt"

echo "prepare_server_root: $typeface ready"
