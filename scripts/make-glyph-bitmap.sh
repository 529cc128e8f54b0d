#!/usr/bin/env bash
# Makes OpenGlLib/GlyphBitmap.cpp, the built-in font, again from the misc-fixed 6x12 font of
# Debian's xfonts-base (public domain). Only needed to change the font; the build and the tests
# use the committed file and need no font installed.
set -euo pipefail
cd "$(dirname "$0")/.."

font=/usr/share/fonts/X11/misc/6x12-ISO8859-1.pcf.gz
if [ ! -f "$font" ]; then
    echo "$font is missing: install the Debian package xfonts-base" >&2
    exit 1
fi
cmake --build build/release --target make_glyph_bitmap >/dev/null
zcat "$font" | build/release/tools/make_glyph_bitmap - \
    "${font##*/} in the Debian package xfonts-base" >OpenGlLib/GlyphBitmap.cpp.new
mv OpenGlLib/GlyphBitmap.cpp.new OpenGlLib/GlyphBitmap.cpp
clang-format-14 -i OpenGlLib/GlyphBitmap.cpp
echo "Wrote OpenGlLib/GlyphBitmap.cpp"
