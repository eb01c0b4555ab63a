#!/bin/sh
# Builds a delay-load import library for one system DLL from MinGW's
# ordinary import library: every function the DLL exports is then resolved
# on first call instead of at process start, after the program has
# restricted where libraries may be loaded from.
#   make_delay_lib.sh NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT_LIB
# Beside OUTPUT_LIB it writes OUTPUT_LIB minus .a plus .rsp, linker options
# that keep every function's delay thunk: code compiled against headers that
# declare the functions dllimport calls through the import slot only, and
# without the thunk linked in that slot would stay empty.
set -eu
nm="$1" dlltool="$2" import_lib="$3" dll="$4" output="$5"
def="${output%.a}.def"
rsp="${output%.a}.rsp"
# The import symbols read __imp__Name@N on i686 (the C name carries one
# leading underscore, which is not part of the export: _TrackMouseEvent's
# export is "_TrackMouseEvent") and __imp_Name on x86-64.
case "$("$nm" "$import_lib" | sed -n 's/^.* I \(__imp__*\).*$/\1/p' | head -n 1)" in
    __imp__*) prefix="__imp__" under="_" ;;
    *) prefix="__imp_" under="" ;;
esac
names=$("$nm" "$import_lib" | sed -n "s/^.* I ${prefix}\(.*\)\$/\1/p" | sort -u)
{
    echo "LIBRARY $dll"
    echo "EXPORTS"
    printf '%s\n' "$names"
} > "$def"
printf '%s\n' "$names" | sed "s/^/-Wl,-u,${under}/" > "$rsp"
"$dlltool" --input-def "$def" --output-delaylib "$output" --dllname "$dll" --kill-at
