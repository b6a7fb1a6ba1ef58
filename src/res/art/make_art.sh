#!/bin/bash
# make_art.sh - draws the library's bitmaps and icons with ImageMagick.
#
# Run by hand after changing the look; the results under ../bitmaps are
# committed so that the build does not need ImageMagick.
#
# Sizes follow the dialog templates at 96 DPI with the dialog font mapped
# to WenQuanYi Zen Hei (dialog units: x 6/4 px, y 16/8 px for the 9 point
# font, x 7/4 px, y 17/8 px for the 10 point one). A bitmap larger than its
# button shows its top-left part, so each is cut to the larger of the known
# unit sizes.
set -euo pipefail
cd "$(dirname "$0")/../bitmaps"
FONT=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

bmp() { convert "$@" -background black -alpha remove -alpha off -type TrueColor "BMP3:$_out"; }

# The piece of a background under a button at x,y of size wxh, so that the
# parts of a button bitmap outside its face look transparent.
under() { echo "$1" -crop "$4x$5+$2+$3" +repage; }

# Main dialog background (380 x 532): a rounded dark panel with a title,
# a safe emblem and three slots where the platform rows sit.
background() {
    local out=$1 detail=$2
    local extra=()
    if [ "$detail" = 1 ]; then
        extra=(-fill '#ffffff10' -draw 'circle 60,470 60,380' -fill '#ffffff08' -draw 'circle 70,120 70,60')
    fi
    _out=$out bmp -size 380x532 gradient:'#2b3f55-#121b26' \
        "${extra[@]}" \
        -fill none -stroke '#5d7a99' -strokewidth 2 -draw 'roundrectangle 1,1 378,530 10,10' \
        -stroke none -fill '#e9eef4' -font "$FONT" -pointsize 15 -annotate +14+24 '保险箱' \
        -fill '#8fa6bf' -pointsize 10 -annotate +14+42 'Sefrabox' \
        -fill '#ffffff18' -draw 'roundrectangle 136,70 368,186 8,8' \
        -draw 'roundrectangle 136,190 368,306 8,8' -draw 'roundrectangle 136,310 368,428 8,8' \
        -fill '#c9a14a' -draw 'roundrectangle 30,210 110,300 6,6' \
        -fill '#2b3f55' -draw 'circle 70,255 70,232' -fill '#c9a14a' -draw 'circle 70,255 70,247' \
        -fill '#e9eef4' -draw 'rectangle 68,232 72,247'
}

# Platform tile (87 x 104): light card, safe glyph in the upper part, and
# below it the caption band, where the button draws its caption at the
# bottom left (DT_SINGLELINE | DT_BOTTOM): the band spans the whole width
# from y 80 down, plain white, and the card's frame ends above it, so that
# no frame stroke runs through the caption. $2 face colour, $3 frame
# colour, $4 shift (pressed: the card moves, the band stays).
tile() {
    local out=$1 face=$2 frame=$3 shift=$4 y=$5
    local s=$shift
    _out=$out bmp $(under 1123.bmp 146 "$y" 87 104) \
        -fill "$face" -stroke "$frame" -strokewidth 2 -draw "roundrectangle $((1+s)),$((1+s)) 85,77 7,7" \
        -stroke none -fill '#3d5a78' -draw "roundrectangle $((25+s)),$((14+s)) $((61+s)),$((50+s)) 4,4" \
        -fill "$face" -draw "circle $((43+s)),$((32+s)) $((43+s)),$((22+s))" \
        -fill '#3d5a78' -draw "circle $((43+s)),$((32+s)) $((43+s)),$((28+s))" \
        -fill '#ffffff' -draw "rectangle 0,80 86,103"
}

# Arrow button (30 x 40): round button with a right arrow.
arrow() {
    local out=$1 face=$2 glyph=$3 shift=$4 y=$5
    local s=$shift
    _out=$out bmp $(under 1123.bmp 339 "$y" 30 40) \
        -fill "$face" -stroke '#0d1620' -strokewidth 1 -draw "circle $((15+s)),$((16+s)) $((15+s)),$((3+s))" \
        -stroke none -fill "$glyph" \
        -draw "polygon $((10+s)),$((10+s)) $((22+s)),$((16+s)) $((10+s)),$((22+s))"
}

# Set-password button (93 x 42) with its caption drawn in.
setpwd() {
    local out=$1 face=$2 text=$3 shift=$4 y=$5
    local s=$shift
    _out=$out bmp $(under 1123.bmp 270 "$y" 93 42) \
        -fill "$face" -stroke '#0d1620' -strokewidth 1 -draw "roundrectangle $((1+s)),$((1+s)) 91,$((30+s)) 6,6" \
        -stroke none -fill "$text" -font "$FONT" -pointsize 12 -annotate +$((18+s))+$((21+s)) '设置密码'
}

# Close button (18 x 24): a small x on the panel.
closebtn() {
    local out=$1 face=$2 cross=$3
    _out=$out bmp $(under 1123.bmp 356 8 18 24) \
        -fill "$face" -draw 'roundrectangle 1,1 16,16 3,3' \
        -stroke "$cross" -strokewidth 2 -draw 'line 5,5 12,12' -draw 'line 12,5 5,12'
}

# Restart dialog buttons (126 x 106) and background (315 x 212).
bigbutton() {
    local out=$1 face=$2 glyph=$3 label=$4 shift=$5 x=$6
    local s=$shift
    _out=$out bmp $(under 2209.bmp "$x" 30 126 106) \
        -fill "$face" -stroke '#5d7a99' -strokewidth 2 -draw "roundrectangle $((2+s)),$((2+s)) 123,103 10,10" \
        -stroke "$glyph" -strokewidth 5 -fill none -draw "arc $((43+s)),$((18+s)) $((83+s)),$((58+s)) 300,600" \
        -draw "line $((63+s)),$((14+s)) $((63+s)),$((38+s))" \
        -stroke none -fill "$glyph" -font "$FONT" -pointsize 14 -gravity north -annotate +$((s))+$((70+s)) "$label"
}

background SefraboxBack.bmp 1
background 1123.bmp 0

closebtn 1124.bmp '#c0392b' '#ffffff'   # pressed
closebtn 1125.bmp '#27394c' '#c7d3df'   # normal and focus
closebtn 1126.bmp '#e74c3c' '#ffffff'   # hover
closebtn 1127.bmp '#27394c' '#55677a'   # disabled (spare)

# Platform tiles: hover, pressed, normal for each of the three rows.
tile 1128.bmp '#f4f8fc' '#6fb1ff' 0 78; tile 1129.bmp '#d5dee8' '#3a7bd5' 2 78; tile 1130.bmp '#e3e9f0' '#8ea3b8' 0 78
tile 1131.bmp '#f4fcf6' '#5fd08a' 0 194; tile 1132.bmp '#d3e6da' '#2f9e5c' 2 194
tile 1133.bmp '#e2ede6' '#8eb89f' 0 194
tile 1134.bmp '#fff9f0' '#f5b04a' 0 316; tile 1135.bmp '#eadfcd' '#c98a25' 2 316
tile 1136.bmp '#f0ebe2' '#b8a88e' 0 316

# Set-password buttons (2109: 1139 normal, 1140 hover, 1138 pressed;
# 2110: 1145, 1137, 1144; 2111: 1142, 1143, 1141).
setpwd 1137.bmp '#4a7fb5' '#ffffff' 0 254
setpwd 1138.bmp '#2d5a88' '#dfe8f2' 1 136
setpwd 1139.bmp '#3b6894' '#e9eef4' 0 136
setpwd 1140.bmp '#4a7fb5' '#ffffff' 0 136
setpwd 1141.bmp '#2d5a88' '#dfe8f2' 1 370
setpwd 1142.bmp '#3b6894' '#e9eef4' 0 370
setpwd 1143.bmp '#4a7fb5' '#ffffff' 0 370
setpwd 1144.bmp '#2d5a88' '#dfe8f2' 1 254
setpwd 1145.bmp '#3b6894' '#e9eef4' 0 254

# Arrow buttons (2106: 1147 normal, 1148 hover, 1146 pressed;
# 2108: 1150, 1151, 1149; 2107: 1153, 1154, 1152).
arrow 1146.bmp '#1f8a4c' '#d8f5e3' 1 82; arrow 1147.bmp '#27ae60' '#ffffff' 0 82; arrow 1148.bmp '#3ccf7a' '#ffffff' 0 82
arrow 1149.bmp '#1f8a4c' '#d8f5e3' 1 316; arrow 1150.bmp '#27ae60' '#ffffff' 0 316
arrow 1151.bmp '#3ccf7a' '#ffffff' 0 316
arrow 1152.bmp '#1f8a4c' '#d8f5e3' 1 198; arrow 1153.bmp '#27ae60' '#ffffff' 0 198
arrow 1154.bmp '#3ccf7a' '#ffffff' 0 198

_out=2209.bmp bmp -size 315x212 gradient:'#2b3f55-#121b26' \
    -fill none -stroke '#5d7a99' -strokewidth 2 -draw 'roundrectangle 1,1 313,210 10,10'

# Restart dialog: TurnOff 2205 normal, 2204 hover, 2203 pressed;
# Restart 2208 normal, 2207 hover, 2206 pressed; 2209 background.
bigbutton 2203.bmp '#8e2b22' '#f3d2cf' 'TurnOff' 2 165
bigbutton 2204.bmp '#d9534f' '#ffffff' 'TurnOff' 0 165
bigbutton 2205.bmp '#b03a2e' '#f8e0dd' 'TurnOff' 0 165
bigbutton 2206.bmp '#1f5f99' '#d2e3f3' 'Restart' 2 25
bigbutton 2207.bmp '#4a90d9' '#ffffff' 'Restart' 0 25
bigbutton 2208.bmp '#2e6fb0' '#e3eef8' 'Restart' 0 25
# Icons: 1104 a padlock (checking, passwords), 1105 an opening folder.
convert -size 32x32 xc:none -fill none -stroke '#5d7a99' -strokewidth 4 -draw 'arc 8,2 24,22 180,360' \
    -stroke none -fill '#c9a14a' -draw 'roundrectangle 4,13 27,30 3,3' -fill '#2b3f55' -draw 'circle 16,21 16,18' \
    -draw 'rectangle 15,21 17,26' \( +clone -resize 16x16 \) 1104.ico
convert -size 32x32 xc:none -fill '#c9a14a' -draw 'polygon 2,8 12,8 15,11 29,11 29,28 2,28' \
    -fill '#f0c96a' -draw 'polygon 6,15 31,15 27,28 2,28' -fill '#27ae60' -draw 'polygon 14,17 22,21 14,25' \
    \( +clone -resize 16x16 \) 1105.ico
