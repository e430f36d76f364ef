#!/usr/bin/env bash
# The images sample: the scrolled picture follows the Down key line by line,
# the long operation drives the meter to 100 % (the title then says "done"
# and the bar is blue from end to end), and Alt+F4 ends it with exit code 0.
# With NX_SHOT set, the finished window is saved there as a PNG.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
work=$(mktemp -d)
wine ./images.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

id=$(wait_window "Novaxis images" 120) || fail "no window titled 'Novaxis images'"
activate "$id"

# A part of the scrolled picture (inside it whatever the frame's size), before
# and after ten lines down: the same pixels, ten rows higher.
shot() { import -window "$id" "$1" 2>/dev/null; }
same() { [[ $(compare -metric AE "$1" "$2" null: 2>&1 || true) == 0 ]]; }
# Shots once the sample has come to rest: painted, and the long operation
# (started by a timer right after the window appeared) over.
wait_idle "$pid" || fail "the sample did not come to rest"
shot "$work/before.png"
xdotool key --clearmodifiers --delay 50 Down Down Down Down Down Down Down Down Down Down
wait_idle "$pid" || fail "the sample did not come to rest"
shot "$work/after.png"
convert "$work/before.png" -crop 150x100+30+70 +repage "$work/b.png"
convert "$work/after.png" -crop 150x100+30+60 +repage "$work/a.png"
same "$work/a.png" "$work/b.png" || fail "the picture did not scroll ten lines"
echo "scrolled ten lines"

wait_window "Novaxis images - done" 5 >/dev/null || fail "the long operation did not end"
shot "$work/done.png"
blue=$(convert "$work/done.png" -fill black +opaque "rgb(0,0,255)" -fill white -opaque "rgb(0,0,255)" \
       -format "%[fx:round(mean*w*h)]" info:)
# The meter's inside is 598 x 22 pixels, less its white text.
[[ $blue -ge 11000 ]] || fail "the meter is not full: $blue blue pixels"
echo "meter at 100 % ($blue blue pixels)"
[[ -n "${NX_SHOT:-}" ]] && cp "$work/done.png" "$NX_SHOT"

close_demo "$pid"
