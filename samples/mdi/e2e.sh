#!/usr/bin/env bash
# The MDI sample driven by the keyboard and the mouse: Ctrl+N three times
# opens three tables; Window > Tile Vertical puts them side by side; in the
# left one a slow drag moves the rows with the pointer and a quick flick of
# the same length glides on after the release; Window > Close All closes
# them; Tables > Exit ends the program with exit code 0. The frame's caption
# counts the tables and names the browse that moved with its top row.
# With NX_SHOT=<file.png> the tiled frame is also saved as a picture.
# Every reading is taken once the sample has come to rest (wait_idle), so a
# busy machine only makes the check slower.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD"
wine ./samples/mdi.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

title="Novaxis MDI"
id=$(wait_window "$title - 0 tables" 120) || fail "no window titled '$title - 0 tables'"
settle
activate "$id"

caption() { xdotool getwindowname "$id"; }
expect() {
  wait_window "$title - $1" 120 >/dev/null || fail "caption is '$(caption)', expected '$title - $1'"
  echo "caption: $title - $1"
}
# The caption once the sample is done with the input (a glide changes it
# at every row).
settled() {
  settle
  caption
}

for n in 1 2 3; do
  xdotool key --clearmodifiers ctrl+n
  if ((n == 1)); then expect "1 table"; else expect "$n tables"; fi
done

# Window > Tile Vertical (the pull-down's items are drawn by the library:
# the window finds the mnemonic).
xdotool key --clearmodifiers alt+w
settle
xdotool key t
settle

# The frame is maximized over the desktop: its client lies below the
# caption and the menu bar. Left third, middle height: the left table.
read -r W H < <(xwininfo -id "$id" | awk '/^  Width/{w=$NF} /^  Height/{h=$NF} END{print w, h}')
X=$((W / 6))
Y0=$((H / 2 + 150))
Y1=$((H / 2 - 50))
echo "frame ${W}x${H}: dragging at x=$X from y=$Y0 to y=$Y1"

# Focus the table, then a slow drag of 200 pixels: each move is sent 0.2 s
# after the sample took in the one before, so the drag is slow however busy
# the machine is.
xdotool mousemove "$X" "$Y1" click 1
settle
xdotool key Home
settle
xdotool mousemove "$X" "$Y0" mousedown 1
settle
for y in $(seq $((Y0 - 20)) -20 "$Y1"); do
  sleep 0.2
  xdotool mousemove "$X" "$y"
  settle
done
sleep 0.3
xdotool mouseup 1
after_slow=$(settled)
echo "slow drag: $after_slow"
[[ "$after_slow" =~ top\ row\ ([0-9]+)$ ]] || fail "no browse moved: '$after_slow'"
t_slow=${BASH_REMATCH[1]}
((t_slow > 5)) || fail "the slow drag did not move the rows (top row $t_slow)"
who=${after_slow% top row *}
who=${who##* - }

# Back to the first row, then the same distance in about 50 ms. The sample
# measures the speed as it takes the moves in: one starved of processor time
# in the middle of them sees a slower drag, so a flick that did not glide is
# tried again.
fast=(mousemove "$X" "$Y0" mousedown 1)
for y in $(seq $((Y0 - 20)) -20 "$Y1"); do fast+=(sleep 0.005 mousemove "$X" "$y"); done
fast+=(mouseup 1)
glided=""
for attempt in 1 2 3; do
  xdotool key Home
  settle
  xdotool "${fast[@]}"
  after_fast=$(settled)
  echo "fast flick: $after_fast"
  [[ "$after_fast" =~ (MDI\ Child\ [0-9])\ top\ row\ ([0-9]+)$ ]] || fail "no browse moved: '$after_fast'"
  [[ "${BASH_REMATCH[1]}" == "$who" ]] || fail "the flick moved ${BASH_REMATCH[1]}, the drag $who"
  t_fast=${BASH_REMATCH[2]}
  ((t_fast > t_slow)) && { glided=yes; break; }
  echo "the flick did not glide (top row $t_fast), again"
done
[[ -n "$glided" ]] || fail "no glide after three fast flicks"
((t_fast - t_slow <= 41)) || fail "glided $((t_fast - t_slow)) rows, more than 40"
echo "$who glided $((t_fast - t_slow)) rows"

if [[ -n "${NX_SHOT:-}" ]]; then
  import -window root "$NX_SHOT"
  echo "picture: $NX_SHOT"
fi

# Window > Close All.
xdotool key --clearmodifiers alt+w
settle
xdotool key l
expect "0 tables"

xdotool key --clearmodifiers alt+t
settle
xdotool key x
wait_exit_rc "$pid" 120
trap - EXIT
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
echo "closed with exit code 0"
