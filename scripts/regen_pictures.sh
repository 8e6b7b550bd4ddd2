#!/usr/bin/env bash
# Writes every picture of docs/pictures anew from the quenlira-chart command
# in its row of docs/pictures/README.md, with the built tool. For a change
# that is meant to alter the drawing: look at the pictures afterwards, and
# correct the "What to see" column where it no longer holds. The test
# render_docpictures_data_test reads the rows the same way.
#   scripts/regen_pictures.sh [build-dir]     (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
tool="${1:-build}/bin/quenlira-chart"
[ -x "$tool" ] || { echo "regen_pictures: $tool is not built" >&2; exit 1; }
dir=docs/pictures
n=0
while IFS='|' read -r _ file command _; do
  file=$(echo "$file" | xargs)
  command=$(echo "$command" | sed -E 's/^ *`quenlira-chart ([^`]*)` *$/\1/')
  # shellcheck disable=SC2086 # the command is plain words, split on purpose
  "$tool" $command -o "$dir/$file"
  echo "regen_pictures: $file"
  n=$((n + 1))
done < <(grep -E '^\| *[A-Za-z0-9._-]+\.png *\| *`quenlira-chart [^`]*` *\|' "$dir/README.md")
echo "regen_pictures: $n pictures written; git diff --stat $dir shows which changed"
