#!/usr/bin/env bash
# The demo opens its maximized titled window; restored, it has its creation
# rectangle (rows 2-20, columns 2-70 in 16x8 character cells); Alt+F4 ends it
# with exit code 0.
source "$(dirname "$0")/common.bash"
cd "$NX_BUILD"
wine ./demo.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

id=$(wait_window "$TITLE" 120) || fail "no window titled '$TITLE'"
wait_idle "$pid" || fail "the demo did not come to rest"
geo=$(geometry "$id")
read -r w h <<<"$(echo "$geo" | sed -E 's/^([0-9]+)x([0-9]+).*/\1 \2/')"
# Maximized: the frame lies beyond the 1280x800 desktop on every side.
[[ $w -ge 1280 && $h -ge 800 ]] || fail "not maximized: $geo"
echo "maximized: $geo"

# Restore through the system menu.
activate "$id"
xdotool key --clearmodifiers alt+space
wait_idle "$pid" || fail "the system menu did not open"
xdotool key r
wait_idle "$pid" || fail "the demo did not come to rest"
geo=$(geometry "$id")
[[ "$geo" == "545x289+16+32" ]] || fail "restored geometry is $geo, expected 545x289+16+32"
echo "restored: $geo"

close_demo "$pid"
