#!/usr/bin/env bash
# The dialogs sample driven from the keyboard: Enter opens the order dialog
# (built in code), the arrow keys move its size selection, Tab and Space
# toggle a check box, Enter presses OK; Tab and Enter open the settings dialog
# (from the resources), Space, Tab and an arrow change it, Enter presses its
# default OK. After each OK the main window's labels must show the values;
# the program writes what its labels show to the probe file.
# NX_SHOT=<file.png> also saves a screenshot with the order dialog open.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
probe=$(mktemp)
export NX_DIALOGS_PROBE
NX_DIALOGS_PROBE=$(winepath -w "$probe")
wine ./dialogs.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$probe"' EXIT

# Waits until the probe file's last two lines are $1 and $2.
wait_shown() {
  for _ in $(seq 1200); do
    [[ "$(tail -n 2 "$probe" | tr -d '\r')" == "$1"$'\n'"$2" ]] && return 0
    sleep 0.1
  done
  echo "labels show:" >&2
  tail -n 2 "$probe" >&2
  fail "expected '$1' / '$2'"
}

main=$(wait_window "Dialogs sample" 120) || fail "no main window"
wait_shown "Order: medium book, no gift wrap, standard post, 16 EUR" "Settings: sound off, colour red"
activate "$main"
settle

# The order dialog: the focus starts on the checked size, Down picks the
# next one, Tab reaches "Gift wrap", Space checks it; Enter is OK.
key Return
order=$(wait_window "Order" 120) || fail "the order dialog did not open"
wait_idle "$pid" || fail "the order dialog did not come to rest"
key Down
key Tab
key space
if [[ -n "${NX_SHOT:-}" ]]; then
  import -window root "$NX_SHOT"
  echo "screenshot: $NX_SHOT"
fi
key Return
wait_gone "Order"
wait_shown "Order: large book, gift wrapped, standard post, 23 EUR" "Settings: sound off, colour red"
echo "order dialog: values shown"

# Escape leaves the values as they were.
key Return
wait_window "Order" 120 >/dev/null || fail "the order dialog did not open again"
wait_idle "$pid" || fail "the order dialog did not come to rest"
key Up
key Escape
wait_gone "Order"

# The settings dialog: Tab from the order button to its own, Enter opens it;
# the focus starts on "Sound": Space checks it, Tab enters the colours at
# the checked one, Down picks green; Enter presses the default OK.
key Tab
key Return
wait_window "Settings" 120 >/dev/null || fail "the settings dialog did not open"
wait_idle "$pid" || fail "the settings dialog did not come to rest"
key space
key Tab
key Down
key Return
wait_gone "Settings"
wait_shown "Order: large book, gift wrapped, standard post, 23 EUR" "Settings: sound on, colour green"
echo "settings dialog: values shown"

close_demo "$pid"
