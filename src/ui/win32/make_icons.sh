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

# Tool buttons, 16 px, and 24 px for 144 DPI.
tool_sizes="16 24"
convert -size 192x192 xc:none -fill '#2e9d3a' -stroke '#1b5e22' -strokewidth 10 \
    -draw 'polygon 48,28 164,96 48,164' "$work/start.png"
to_ico "$work/start.png" start.ico $tool_sizes
convert -size 192x192 xc:none -fill '#d42a2a' -stroke '#7a1010' -strokewidth 10 \
    -draw 'roundrectangle 40,40 152,152 14,14' "$work/stop.png"
to_ico "$work/stop.png" stop.ico $tool_sizes
convert -size 192x192 xc:none -fill white -stroke '#505050' -strokewidth 10 \
    -draw 'polygon 36,16 124,16 156,48 156,176 36,176' \
    -stroke '#d42a2a' -strokewidth 22 -draw 'line 66,82 130,146' -draw 'line 130,82 66,146' \
    "$work/clear.png"
to_ico "$work/clear.png" clear_log.ico $tool_sizes
convert -size 192x192 xc:none -fill '#2f5fb3' -stroke '#1a3770' -strokewidth 10 \
    -draw 'polygon 20,20 150,20 172,42 172,172 20,172' \
    -stroke none -fill '#e8e8e8' -draw 'rectangle 54,24 132,76' \
    -fill '#1a3770' -draw 'rectangle 108,32 124,68' \
    -fill white -draw 'rectangle 44,104 148,168' "$work/save.png"
to_ico "$work/save.png" save_log.ico $tool_sizes

# The other tool buttons; one simple shape each, told apart by colour.
sizes=$tool_sizes
draw16() {  # $1 output name, then the drawing arguments; in the $sizes
    out=$1; shift
    convert -size 192x192 xc:none "$@" "$work/$out.png"
    # shellcheck disable=SC2086
    to_ico "$work/$out.png" "$out.ico" $sizes
}
draw16 beeper -fill '#404040' -stroke '#202020' -strokewidth 8 \
    -draw 'polygon 24,72 64,72 112,28 112,164 64,120 24,120' \
    -fill none -stroke '#2f5fb3' -strokewidth 14 -draw 'arc 100,56 160,136 -60,60' \
    -draw 'arc 110,30 190,162 -60,60'
draw16 test10s -fill white -stroke '#1b5e22' -strokewidth 14 -draw 'circle 96,104 96,28' \
    -fill '#1b5e22' -stroke none -draw 'rectangle 80,4 112,24' \
    -stroke '#2e9d3a' -strokewidth 16 -draw 'line 96,104 96,52'
draw16 test_t -fill white -stroke '#1a3770' -strokewidth 14 -draw 'circle 96,104 96,28' \
    -fill '#1a3770' -stroke none -draw 'rectangle 80,4 112,24' \
    -stroke '#2f5fb3' -strokewidth 16 -draw 'line 96,104 96,52' -draw 'line 96,104 136,124'
draw16 test_low -fill '#303030' -draw 'roundrectangle 72,10 120,40 8,8' \
    -draw 'roundrectangle 38,28 154,186 20,20' -fill white -draw 'roundrectangle 50,40 142,174 12,12' \
    -fill '#e02020' -draw 'rectangle 56,140 136,168'
draw16 cancel_test -fill '#d42a2a' -stroke '#7a1010' -strokewidth 8 -draw 'circle 96,96 96,12' \
    -stroke white -strokewidth 24 -draw 'line 58,58 134,134' -draw 'line 134,58 58,134'
draw16 sleep -fill '#e8b400' -stroke '#8a6a00' -strokewidth 8 -draw 'circle 96,96 96,12' \
    \( -size 192x192 xc:none -fill black -draw 'circle 134,64 134,-6' \) -compose DstOut -composite
draw16 hibernate -stroke '#2f7fd0' -strokewidth 18 -draw 'line 96,12 96,180' \
    -draw 'line 24,54 168,138' -draw 'line 24,138 168,54'
draw16 shutdown -fill none -stroke '#d42a2a' -strokewidth 22 -draw 'arc 28,36 164,172 -50,230' \
    -draw 'line 96,12 96,96'
draw16 save_settings -fill '#2e9d3a' -stroke '#1b5e22' -strokewidth 10 \
    -draw 'polygon 20,20 150,20 172,42 172,172 20,172' \
    -stroke none -fill '#e8e8e8' -draw 'rectangle 54,24 132,76' \
    -fill '#1b5e22' -draw 'rectangle 108,32 124,68' \
    -fill white -draw 'rectangle 44,104 148,168'
draw16 exit -fill '#8a5a2a' -stroke '#4a2a0a' -strokewidth 8 -draw 'rectangle 28,16 112,180' \
    -stroke '#d42a2a' -strokewidth 20 -draw 'line 92,96 176,96' \
    -fill '#d42a2a' -stroke none -draw 'polygon 176,96 136,56 136,136'

# Pictures of the pages, 32 px and 48 px for 144 DPI.
picture_sizes="32 48"

# Connection kinds for the UPS Information page: a USB plug and a serial plug.
convert -size 192x192 xc:none -fill '#505050' -draw 'roundrectangle 56,20 136,120 10,10' \
    -fill '#c8c8c8' -draw 'rectangle 72,36 120,72' -fill '#303030' -draw 'rectangle 80,44 92,56' \
    -draw 'rectangle 100,44 112,56' -fill '#303030' -draw 'rectangle 84,120 108,180' "$work/usb.png"
to_ico "$work/usb.png" conn_usb.ico $picture_sizes
convert -size 192x192 xc:none -fill '#2f5fb3' -stroke '#1a3770' -strokewidth 8 \
    -draw 'polygon 16,56 176,56 156,136 36,136' -fill white -stroke none \
    -draw 'circle 52,84 52,94' -draw 'circle 84,84 84,94' -draw 'circle 116,84 116,94' \
    -draw 'circle 148,84 148,94' -draw 'circle 68,110 68,120' -draw 'circle 100,110 100,120' \
    -draw 'circle 132,110 132,120' "$work/serial.png"
to_ico "$work/serial.png" conn_serial.ico $picture_sizes
# And a NUT server elsewhere: a server joined by the network to two computers.
convert -size 192x192 xc:none -fill none -stroke '#303030' -strokewidth 12 \
    -draw 'line 96,64 96,112' -draw 'line 44,112 148,112' -draw 'line 44,112 44,132' \
    -draw 'line 148,112 148,132' -stroke '#1a3770' -strokewidth 8 -fill '#2f5fb3' \
    -draw 'roundrectangle 56,10 136,66 8,8' -draw 'roundrectangle 8,132 80,182 8,8' \
    -draw 'roundrectangle 112,132 184,182 8,8' -stroke none -fill '#9fd0ff' \
    -draw 'rectangle 70,24 122,34' -draw 'rectangle 70,42 122,52' "$work/network.png"
to_ico "$work/network.png" conn_network.ico $picture_sizes

# The About group's donation picture: a heart.
convert -size 192x192 xc:none -fill '#e02050' -stroke '#901030' -strokewidth 8 \
    -draw 'circle 62,70 62,24' -draw 'circle 130,70 130,24' \
    -draw 'polygon 20,84 172,84 96,176' -stroke none -draw 'rectangle 40,60 150,100' "$work/heart.png"
to_ico "$work/heart.png" donate.ico $picture_sizes

# The notification menu: restore, minimise, exit.
sizes=16
draw16 menu_restore -fill white -stroke '#1a3770' -strokewidth 14 -draw 'rectangle 20,36 172,164' \
    -fill '#2f5fb3' -stroke none -draw 'rectangle 20,36 172,64'
draw16 menu_minimize -fill '#1a3770' -draw 'rectangle 32,136 160,164'
