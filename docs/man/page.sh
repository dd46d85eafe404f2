#!/usr/bin/env bash
# Writes a manual page from its Markdown (pandoc's, for the option lists) with pandoc, compressed as man
# reads it and the same on every build of one source: no name or time in the gzip header, the date
# SOURCE_DATE_EPOCH's when a package build fixes it.
#   page.sh PROGRAM.SECTION.md OUTPUT.gz VERSION
set -euo pipefail
source=$1 output=$2 version=$3
name=$(basename "$source" .md)
date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%Y-%m-%d)
mkdir -p "$(dirname "$output")"
pandoc --from=markdown-smart --to=man --standalone --metadata=title:"$(echo "${name%.*}" | tr a-z A-Z)" --metadata=section:"${name##*.}" \
  --metadata=footer:"Orvex $version" --metadata=header:"User Commands" --metadata=date:"$date" \
  "$source" | gzip -9n >"$output"
