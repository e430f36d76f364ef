#!/usr/bin/env bash
# The tabs sample driven by mouse and keyboard: the name is typed on the
# General page, a click on the Audio tab shows that page and Space checks
# "Play sounds", Alt+D shows Display and Down picks the large text size,
# Alt+G goes back to General. A click on the strip's Overview tab puts the
# overview of the values in the folder's place (the caption and the text it
# reports say so) and Alt+C, the strip's hot key, brings the folder back.
# Alt+S saves. The saved file must hold every
# value, the name typed before the switches among them, and General as the
# page shown last. A second run reads the file back, a click on the Display
# tab switches there and Save keeps the values with Display as the last page.
# NX_SHOT=<file.png> also saves a screenshot of the window back on General.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
dir=$(mktemp -d)
export NX_TABS_INI NX_TABS_PROBE
NX_TABS_INI=$(winepath -w "$dir/tabs.ini")
NX_TABS_PROBE=$(winepath -w "$dir/probe.txt")
pid=""
trap '[[ -n "$pid" ]] && kill $pid 2>/dev/null; rm -rf "$dir"' EXIT

# Clicks the middle of the folder's tab $1 (of the strip's with -s), where
# the program says it is.
click_tab() {
  local kind=tab x y
  [[ "$1" == -s ]] && { kind=strip; shift; }
  read -r x y < <(awk -v k="$kind" -v n="$1" '$1 == k && $2 == n { print $3, $4 }' "$dir/probe.txt")
  [[ -n "$x" ]] || fail "no position for $kind tab $1"
  # The pointer leaves at once: over a tab the control polls it (hot
  # tracking) until it goes.
  xdotool mousemove "$x" "$y" click 1 mousemove 2 2
  wait_idle "$pid" || fail "the sample did not come to rest after the click on tab $1"
}

start() {
  rm -f "$dir/probe.txt"
  wine ./tabs.exe &
  pid=$!
  local win
  win=$(wait_window "Settings" 120) || fail "no settings window"
  for _ in $(seq 1200); do [[ -s "$dir/probe.txt" ]] && break; sleep 0.1; done
  [[ -s "$dir/probe.txt" ]] || fail "the window did not tell where its tabs are"
  activate "$win"
  wait_idle "$pid" || fail "the window did not come to rest"
}

saved() {
  wait_exit_rc "$pid" 120
  [[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
  pid=""
}

# Checks the saved file: "<section>.<entry>=<value>" per argument.
expect_ini() {
  local want section entry value got
  for want in "$@"; do
    section=${want%%.*} entry=${want#*.} entry=${entry%%=*} value=${want#*=}
    got=$(tr -d '\r' < "$dir/tabs.ini" | awk -v s="[$section]" -v e="$entry" \
      '/^\[/ { in_s = ($0 == s) } in_s && index($0, e "=") == 1 { print substr($0, length(e) + 2) }')
    [[ "$got" == "$value" ]] || { tr -d '\r' < "$dir/tabs.ini" >&2; fail "$section/$entry is '$got', not '$value'"; }
  done
}

start
key -t "Zoe"          # the name, on General where the focus starts
click_tab 2           # Audio, by the mouse
key space             # "Play sounds" has the focus the page took
key alt+d             # Display, by the keyboard
key Down              # medium to large
key alt+g             # back to General
click_tab -s 2        # the overview, by the strip
wait_window "Settings - Overview" 60 >/dev/null || fail "the strip did not show the overview"
grep -q "^overview Name: Zoe; Remember me: yes; Play sounds: yes; Beep on errors: yes; Text size: large" \
  "$dir/probe.txt" || { cat "$dir/probe.txt" >&2; fail "the overview does not show the values"; }
key alt+c             # the settings again, by the strip's hot key
wait_window "Settings" 60 >/dev/null || fail "Alt+C did not bring the folder back"
if [[ -n "${NX_SHOT:-}" ]]; then
  import -window root "$NX_SHOT"
  echo "screenshot: $NX_SHOT"
fi
xdotool key --clearmodifiers alt+s   # Save, which ends the program
saved
expect_ini General.Name=Zoe General.Remember=.T. Audio.Sounds=.T. Audio.Beep=.T. Display.Size=3 Window.Page=1

start
click_tab 3
xdotool key --clearmodifiers alt+s
saved
expect_ini General.Name=Zoe Audio.Sounds=.T. Display.Size=3 Window.Page=3
trap 'rm -rf "$dir"' EXIT
echo "tabs: pages and views switched by click and keyboard, values saved and read back"
