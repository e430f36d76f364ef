#!/usr/bin/env bash
# The toolbar sample driven by the mouse: a click on the bar's New button,
# a click on the Colours button's arrow (its menu drops; Down and Return
# choose "Red"), a click on the Colours button itself, and a click on the
# latched Bold button, which does nothing. Every action names itself in the
# caption and the caption counts the actions run, so waiting for a caption
# is all the checks need (the message bar's clock never lets the sample rest
# for long). The buttons are found on the screen by their pictures' colours.
# With NX_SHOT=<file.png> the window with the dropped menu is saved as a picture.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD"
work=$(mktemp -d)
wine ./samples/toolbar.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

title="Novaxis toolbar"
id=$(wait_window "$title" 120) || fail "no window titled '$title'"
activate "$id"
wait_idle "$pid" || true

caption() { xdotool getwindowname "$id"; }
expect() {
  local re="$title - $1"
  re=${re//(/\\(}
  re=${re//)/\\)}
  wait_window "$re" 120 >/dev/null || fail "caption is '$(caption)', expected '$title - $1'"
  echo "caption: $title - $1"
}
# The bounding box "W H X Y" of the screen pixels of one colour.
box() {
  convert "$work/screen.png" -fill black +opaque "$1" -fill white -opaque "$1" -trim \
    -format '%w %h %X %Y\n' info: | tr -d '+'
}
# The Colours picture's red quarter: 5 x 5 pixels, 6 pixels into the button.
for ((try = 0; try < 60; try++)); do
  import -window root "$work/screen.png"
  read -r cw ch cx cy < <(box "rgb(220,40,40)")
  ((cw == 5 && ch == 5)) && break
  sleep 1
done
((cw == 5 && ch == 5)) || fail "no Colours button on the screen (red box $cw x $ch)"
# The New picture's blue-grey lines.
read -r nw nh nx ny < <(box "rgb(128,128,160)")
((nw == 6 && nh == 7)) || fail "no New button on the screen (box $nw x $nh)"
echo "Colours picture at $cx,$cy; New picture at $nx,$ny"

xdotool mousemove $((nx + 3)) $((ny + 3)) click 1
expect "New (1)"

# The last 13 pixels of the Colours button drop its menu.
# The keys reach the menu: it opens while the click is handled, before them.
xdotool mousemove $((cx + 25)) $((cy + 2)) click 1
if [[ -n "${NX_SHOT:-}" ]]; then
  geo=$(geometry "$id")
  read -r w h x y <<<"$(echo "$geo" | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/')"
  xdotool key Down
  wait_idle "$pid" 10 || true
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$NX_SHOT"
  echo "picture: $NX_SHOT"
  xdotool key Return
else
  xdotool key Down Return
fi
expect "Red (2)"

# Elsewhere on it, the button acts.
xdotool mousemove $((cx + 2)) $((cy + 2)) click 1
expect "Colours (3)"

# Bold is latched down: a click runs nothing. Its button starts 42 pixels
# right of the Colours picture. New then counts the fourth action, not the
# fifth.
xdotool mousemove $((cx + 42 + 13)) $((cy + 2)) click 1
xdotool mousemove $((nx + 3)) $((ny + 3)) click 1
expect "New (4)"
echo "latched button did nothing"

xdotool windowactivate --sync "$id" 2>/dev/null || true
xdotool key --clearmodifiers alt+F4
wait_exit_rc "$pid" 120
trap - EXIT
rm -rf "$work"
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "closed with exit code 0"
