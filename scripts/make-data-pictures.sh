#!/bin/sh
# Remakes the installation pictures in data/ with ImageMagick: the colour
# swatches TestColor1.bmp .. TestColor20.bmp (the plot colour of tests 1 to 20
# in storage order, as src/report/report_colors.cpp draws them: test n uses
# table entry n-1, except that the eighth test takes entry 8) and the wait
# animation progress.gif (twelve dots, one bright dot going round).
set -eu
cd "$(dirname "$0")/../data"

# The 20-entry colour table of the report.
table="0,0,0 0,0,128 0,128,0 0,128,128 128,0,0 128,0,128 128,64,0 192,192,192
128,128,128 0,0,255 0,255,0 0,255,255 255,0,0 255,0,255 255,255,0 255,255,255
200,200,200 0,255,0 0,0,255 255,0,0"

set -- $table
for n in $(seq 1 20); do
  index=$((n - 1))
  [ "$index" -eq 7 ] && index=8
  eval "rgb=\${$((index + 1))}"
  # 16 x 16, a grey frame so that the white and light entries stay visible.
  convert -size 14x14 "xc:rgb($rgb)" -bordercolor "rgb(128,128,128)" -border 1 \
    -type TrueColor "BMP3:TestColor$n.bmp"
done

frames=""
for f in $(seq 0 11); do
  draw=""
  for d in $(seq 0 11); do
    # Dots fade behind the bright one.
    age=$(( (f - d + 12) % 12 ))
    grey=$(( age == 0 ? 40 : (age < 4 ? 90 + 40 * age : 220) ))
    x=$(awk "BEGIN{printf \"%.1f\", 16 + 11*sin($d*3.14159265/6)}")
    y=$(awk "BEGIN{printf \"%.1f\", 16 - 11*cos($d*3.14159265/6)}")
    x2=$(awk "BEGIN{printf \"%.1f\", $x + 2.5}")
    draw="$draw fill rgb($grey,$grey,$grey) circle $x,$y $x2,$y"
  done
  convert -size 32x32 xc:white -draw "$draw" "/tmp/kova-progress-$f.gif"
  frames="$frames /tmp/kova-progress-$f.gif"
done
convert -delay 8 -loop 0 $frames -layers Optimize progress.gif
rm -f $frames
