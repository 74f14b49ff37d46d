#!/bin/sh
# Renders both sheets of a filled 100-problem export to docs/export-page1.png
# and docs/export-page2.png, through the export benchmark's PDF copy.
#
#   export/document/render_pages.sh [BUILD_DIR]     (default: build)
#
# Needs the benchmark built (NUMBROOK_BUILD_TESTS) and pdftoppm (poppler-utils).
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
