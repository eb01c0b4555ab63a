#!/bin/sh
# Builds a delay-load import library for one system DLL from MinGW's
# ordinary import library: every function the DLL exports is then resolved
# on first call instead of at process start, after the program has
# restricted where libraries may be loaded from.
#   make_delay_lib.sh NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT_LIB
set -eu
nm="$1" dlltool="$2" import_lib="$3" dll="$4" output="$5"
def="${output%.a}.def"
{
    echo "LIBRARY $dll"
    echo "EXPORTS"
    # i686 import symbols read __imp__Name@N; x86-64 ones __imp_Name.
    "$nm" "$import_lib" | sed -n 's/^.* I __imp__\{1,2\}\([A-Za-z].*\)$/\1/p' | sort -u
} > "$def"
"$dlltool" --input-def "$def" --output-delaylib "$output" --dllname "$dll" --kill-at
