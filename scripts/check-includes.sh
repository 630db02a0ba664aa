#!/usr/bin/env bash
# Fails on an include that crosses the rooms the wrong way: each "room/..." include of a
# tracked source file must name the file's own room or one that scripts/rooms.txt allows it.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed
rooms=()
while read -r room rest; do
  [[ -z "$room" || "$room" == \#* ]] && continue
  rooms+=("$room")
  allowed[$room]=" $room ${rest//-/} "
done < scripts/rooms.txt

# The longest room that holds the path into $room_found, or nothing (no subshell: this
# runs for every include).
room_of() {
  local path=$1 room
  room_found=""
  for room in "${rooms[@]}"; do
    if [[ "$path" == "$room"/* && ${#room} -gt ${#room_found} ]]; then room_found=$room; fi
  done
}

status=0
while IFS= read -r file; do
  room_of "$file"
  from=$room_found
  [ -z "$from" ] && continue
  while IFS=: read -r line included; do
    [[ "$included" != */* ]] && continue  # beside the file
    room_of "$included"
    to=$room_found
    [ -z "$to" ] && continue               # generated or outside the rooms
    if [[ "${allowed[$from]}" != *" $to "* ]]; then
      echo "$file:$line: $from/ may not include $included ($to/)"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)".*/\1:\2/')
done < <(git ls-files '*.cpp' '*.h' '*.c' '*.in')
[ $status -eq 0 ] && echo "includes: every room includes only what scripts/rooms.txt allows"
exit $status
