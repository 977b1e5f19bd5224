#!/usr/bin/env bash
# The folders of src/core form a stack; an include of a folder that is not below is an error.
set -euo pipefail
core="${1:-$(dirname "$0")/../../src/core}"

# Each folder and the folders it may include.
declare -A allowed=(
  [util]=""
  [keys]=""
  [platform]="util"
  [settings]="platform util"
  [macros]="settings platform keys util"
  [device]="settings platform keys util"
  [ui]="device macros settings platform keys util"
  [monitor]="ui device macros settings platform keys util"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$core/$folder" ] || { echo "missing folder: $folder"; status=1; continue; }
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"${line#*:}")
    [ -n "$target" ] && [ "$target" != "$folder" ] || continue
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$file includes $target/, which is not below $folder/"
      status=1
    fi
  done < <(grep -rn '#include "[a-z_]*/' "$core/$folder" || true)
done
for dir in "$core"/*/; do
  name=$(basename "$dir")
  [ -n "${allowed[$name]+x}" ] || { echo "folder $name/ has no place in the stack"; status=1; }
done
exit $status
