# Settings shared by the picture scripts (sourced, not run): the ImageMagick
# program, the fonts, and the options that make every run write the same bytes.
IM=/usr/bin/convert
BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
SANS=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
# Same bytes on every run: no dates or program names in the files.
STRIP=(-strip -define png:exclude-chunks=date,time)
JPEG=(-strip -sampling-factor 1x1 -quality 92)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
