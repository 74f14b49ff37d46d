#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders both sheets of a filled 100-problem export to docs/export-page1.png
# and docs/export-page2.png, through the export benchmark's PDF copy; and the
# same two sheets from LibreOffice and from the built-in host side by side,
# for comparing the two, to docs/sheets-office-vs-builtin.png.
#
#   export/document/render_pages.sh [BUILD_DIR]     (default: build)
#
# Needs the benchmarks built (NUMBROOK_BUILD_TESTS), pdftoppm (poppler-utils)
# and ImageMagick's convert.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bin/numbrook_export_bench" --runs 1 --pdf "$work/export.pdf" >/dev/null
pdftoppm -r 60 -png "$work/export.pdf" "$work/page"
mkdir -p "$root/docs"
cp "$work/page-1.png" "$root/docs/export-page1.png"
cp "$work/page-2.png" "$root/docs/export-page2.png"
echo "wrote $root/docs/export-page1.png and export-page2.png"

QT_QPA_PLATFORM=offscreen "$build/bin/builtin_export_bench" --runs 1 --pdf "$work/builtin.pdf" >/dev/null
pdftoppm -r 60 -png "$work/builtin.pdf" "$work/builtin"
for page in 1 2; do
    convert "$work/page-$page.png" "$work/builtin-$page.png" -bordercolor white -border 8 +append \
        "$work/pair-$page.png"
done
convert "$work/pair-1.png" "$work/pair-2.png" -append "$root/docs/sheets-office-vs-builtin.png"
echo "wrote $root/docs/sheets-office-vs-builtin.png (left: LibreOffice, right: built-in)"
