#!/bin/sh
# Redraws the program's icons with ImageMagick. The .ico files are committed;
# run this only to change them: sh make_icons.sh (from this folder).
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A battery with a lightning bolt, drawn on a 192 px canvas; $1 fill, $2 output.
battery() {
    convert -size 192x192 xc:none \
        -fill '#303030' -draw 'roundrectangle 72,10 120,40 8,8' \
        -fill '#303030' -draw 'roundrectangle 38,28 154,186 20,20' \
        -fill "$1" -draw 'roundrectangle 50,40 142,174 12,12' \
        -fill white -stroke '#303030' -strokewidth 5 \
        -draw 'polygon 110,50 62,116 92,116 80,166 132,94 102,94 118,50' \
        "$2"
}

# A 192 px drawing turned into an icon with the given sizes.
to_ico() {
    src=$1; out=$2; shift 2
    files=""
    for s in "$@"; do
        convert "$src" -filter Lanczos -resize "${s}x${s}" "$work/$s.png"
        files="$files $work/$s.png"
    done
    # shellcheck disable=SC2086
    convert $files "$out"
}

battery '#3cb043' "$work/app.png"
to_ico "$work/app.png" veltrano.ico 16 32 48
to_ico "$work/app.png" tray_normal.ico 16 32
battery '#f2c200' "$work/avr.png"
to_ico "$work/avr.png" tray_avr.ico 16 32
battery '#e02020' "$work/fail.png"
to_ico "$work/fail.png" tray_fail.ico 16 32

# Tool buttons, 16 px.
convert -size 192x192 xc:none -fill '#2e9d3a' -stroke '#1b5e22' -strokewidth 10 \
    -draw 'polygon 48,28 164,96 48,164' "$work/start.png"
to_ico "$work/start.png" start.ico 16
convert -size 192x192 xc:none -fill '#d42a2a' -stroke '#7a1010' -strokewidth 10 \
    -draw 'roundrectangle 40,40 152,152 14,14' "$work/stop.png"
to_ico "$work/stop.png" stop.ico 16
convert -size 192x192 xc:none -fill white -stroke '#505050' -strokewidth 10 \
    -draw 'polygon 36,16 124,16 156,48 156,176 36,176' \
    -stroke '#d42a2a' -strokewidth 22 -draw 'line 66,82 130,146' -draw 'line 130,82 66,146' \
    "$work/clear.png"
to_ico "$work/clear.png" clear_log.ico 16
convert -size 192x192 xc:none -fill '#2f5fb3' -stroke '#1a3770' -strokewidth 10 \
    -draw 'polygon 20,20 150,20 172,42 172,172 20,172' \
    -stroke none -fill '#e8e8e8' -draw 'rectangle 54,24 132,76' \
    -fill '#1a3770' -draw 'rectangle 108,32 124,68' \
    -fill white -draw 'rectangle 44,104 148,168' "$work/save.png"
to_ico "$work/save.png" save_log.ico 16
