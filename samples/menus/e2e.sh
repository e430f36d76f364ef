#!/usr/bin/env bash
# The menus sample driven by the keyboard and the mouse: Alt+E opens the Edit
# menu and T chooses "Cu&t" through the window's mnemonic search (its items
# are owner-drawn and carry no text of their own); Ctrl+V is Paste's
# accelerator, enabled once something was cut; Options > Word wrap toggles a
# check mark; a right click opens the 2007-look pop-up; File > Exit ends the
# program with exit code 0. Every action names itself in the caption.
# With NX_SHOT=<file.png> the open pop-up menu is also saved as a picture.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD"
wine ./samples/menus.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

title="Novaxis menus"
id=$(wait_window "$title" 120) || fail "no window titled '$title'"
activate "$id"

expect() {
  wait_window "$title - $1" 120 >/dev/null || fail "caption is '$(xdotool getwindowname "$id")', expected '$title - $1'"
  echo "chose: $1"
}

if [[ -n "${NX_SHOT:-}" ]]; then
  # The window's part of the screen, with the menu open on it.
  geo=$(geometry "$id")
  read -r w h x y <<<"$(echo "$geo" | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/')"
  crop="${w}x${h}+${x}+${y}"
  xdotool mousemove --window "$id" 150 60 click 3
  xdotool key Down Down
  wait_idle "$pid" || fail "the sample did not come to rest"
  import -window root -crop "$crop" +repage "$NX_SHOT"
  echo "picture: $NX_SHOT"
  xdotool key Escape
fi

xdotool key --clearmodifiers alt+e
xdotool key t
expect "Cut"

xdotool key --clearmodifiers ctrl+v
expect "Paste"

xdotool key --clearmodifiers alt+o
xdotool key Return
expect "Word wrap off"

xdotool mousemove --window "$id" 200 200 click 3
xdotool key Down Down Return
expect "Green"

xdotool key --clearmodifiers alt+f
xdotool key x
wait_exit_rc "$pid" 120
trap - EXIT
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "closed with exit code 0"
