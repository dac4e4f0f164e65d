#!/bin/sh
# Writes the program's icon (resource 300): one 32 x 32 image in 16 colours,
# 4 bits per pixel, with its transparency mask. The picture is the text block
# at the end, one row of letters per pixel row, top row first; each letter
# names a colour of the standard 16-colour palette and '.' is transparent.
#
#   usage: make_icon.sh OUTPUT.ico
set -eu
out=${1:?usage: make_icon.sh OUTPUT.ico}

byte() { printf "\\$(printf '%03o' "$1")"; }
word() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
dword() { word $(($1 & 65535)); word $(($1 >> 16 & 65535)); }

# Palette index of a picture letter, in $colour ('.' is drawn as 0 and
# masked out).
colour_of() {
    case $1 in
        k) colour=0 ;;  b) colour=12 ;; n) colour=4 ;;  a) colour=14 ;;
        s) colour=7 ;;  g) colour=8 ;;  w) colour=15 ;; .) colour=0 ;;
        *) echo "make_icon.sh: unknown colour letter '$1'" >&2; exit 1 ;;
    esac
}

picture() {
    cat <<'ROWS'
................................
...........kkkkkkkkkk...........
...........kwwwwwwwwk...........
...........kkkkkkkkkk...........
............kwswwwwk............
............kwswwwwk............
............kwswwwwk............
............kwswwwwk............
............kwswwwwk............
............kwswwwwk............
............kwswwwwk............
...........kwswwwwwwk...........
..........kwswwwwwwwwk..........
.........kwswwwwwwwwwwk.........
........kwswwwwwwwwwwwwk........
.......kwswwwwwwwwwwwwwwk.......
......kaaaaaaaaaaaaaaaaaak......
.....kbbbbbbbbbbbbbbbbbbbbk.....
....kbbbwbbbbbbbbbbbbbbbbbbk....
...kbbbbbbbbbbbbbbbabbbbbbbbk...
..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..
..kbbbbbwbbbbbbbbbbbbbbbbbbbbk..
..kbbbbbbbbbbbbbbbbbbbbbbabbbk..
..kbbbbbbbbbbbwbbbbbbbbbbbbbbk..
..knbbbbbbbbbbbbbbbbbbbbbbbbnk..
..knnbbbbbbbbbbbbbbbbbbbbbbnnk..
..kgnnnnnnnnnnnnnnnnnnnnnnnngk..
...kkkkkkkkkkkkkkkkkkkkkkkkkk...
................................
................................
................................
................................
ROWS
}

# Bitmap rows are stored bottom row first.
bottom_up() { picture | sed -n '1!G;h;$p'; }

{
    # Icon directory: one entry of 744 bytes at offset 22.
    word 0; word 1; word 1
    byte 32; byte 32; byte 16; byte 0; word 1; word 4; dword 744; dword 22

    # BITMAPINFOHEADER; the height counts the colour image and the mask.
    dword 40; dword 32; dword 64; word 1; word 4; dword 0; dword 640
    dword 0; dword 0; dword 0; dword 0

    # The 16 standard colours as blue, green, red, 0.
    for rgb in 000000 800000 008000 808000 000080 800080 008080 C0C0C0 \
               808080 FF0000 00FF00 FFFF00 0000FF FF00FF 00FFFF FFFFFF; do
        byte $((0x${rgb#????})); byte $((0x$(echo "$rgb" | cut -c3-4)))
        byte $((0x${rgb%????})); byte 0
    done

    # Colour image: two pixels a byte, the left one in the high half.
    bottom_up | while IFS= read -r row; do
        [ ${#row} -eq 32 ] || { echo "make_icon.sh: row not 32 wide" >&2; exit 1; }
        while [ -n "$row" ]; do
            rest=${row#?}; colour_of "${row%"$rest"}"; high=$colour; row=$rest
            rest=${row#?}; colour_of "${row%"$rest"}"; row=$rest
            byte $((high * 16 + colour))
        done
    done

    # Mask: one bit a pixel, most significant first; 1 marks transparent.
    bottom_up | while IFS= read -r row; do
        while [ -n "$row" ]; do
            bits=0 n=0
            while [ $n -lt 8 ]; do
                rest=${row#?}
                if [ "${row%"$rest"}" = . ]; then bits=$((bits * 2 + 1)); else bits=$((bits * 2)); fi
                row=$rest n=$((n + 1))
            done
            byte $bits
        done
    done
} > "$out.tmp"
mv "$out.tmp" "$out"
