# shellcheck shell=bash
# Sourced: cut_out, which cuts windows out of a screenshot.
# The border left around the windows in a picture cut out.
CUT_MARGIN=10

# cut_out PICTURE WxH+X+Y OUT: writes to OUT the rectangle WxH+X+Y of
# PICTURE (screen coordinates, as GetWindowRect gives them) with CUT_MARGIN
# around it, kept within the picture, whatever the screen's size.
cut_out() {
    local picture="$1" geometry="$2" out="$3" w h x y width height
    IFS='x+' read -r w h x y <<<"$geometry"
    read -r width height < <(identify -format '%w %h\n' "$picture")
    local left=$((x - CUT_MARGIN)) top=$((y - CUT_MARGIN))
    local right=$((x + w + CUT_MARGIN)) bottom=$((y + h + CUT_MARGIN))
    ((left >= 0)) || left=0
    ((top >= 0)) || top=0
    ((right <= width)) || right=$width
    ((bottom <= height)) || bottom=$height
    if ((right <= left || bottom <= top)); then
        echo "cut_out: $geometry is not on the ${width}x$height screen of $picture" >&2
        return 1
    fi
    # No time stamps in the file: the same picture gives the same bytes.
    convert "$picture" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        -define png:exclude-chunks=date,time "$out"
}
