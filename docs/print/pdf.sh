#!/usr/bin/env bash
# Prints a manual written in Markdown as a PDF: pandoc makes HTML with this folder's template and filter,
# WeasyPrint lays it out on pages with the print style sheet.
#   pdf.sh MANUAL.md OUTPUT.pdf LANGUAGE VERSION CONTENTS_TITLE
# The date on the title page is the build's, or SOURCE_DATE_EPOCH's for a reproducible build.
set -euo pipefail
manual=$1 output=$2 language=$3 version=$4 contents=$5
here=$(cd "$(dirname "$0")" && pwd)
date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%Y-%m-%d)
html="$output.html"
pandoc --from=gfm --to=html5 --standalone --template="$here/manual.html" --lua-filter="$here/print.lua" \
  --shift-heading-level-by=-1 --toc --toc-depth=2 --columns=100000 \
  --metadata=lang:"$language" --metadata=version:"$version" --metadata=date:"$date" \
  --metadata=toc-title:"$contents" --output="$html" "$manual"
weasyprint --quiet --base-url="$(dirname "$manual")/" --stylesheet="$here/manual.css" "$html" "$output"
rm -f "$html"
