#!/usr/bin/env bash
# The column browse sample, run in an empty folder: the first run generates
# the 100,000-record table; typed letters seek in the name order (a letter
# that matches nothing is dropped); a double click on the "Balance" header
# sorts by it and digits seek there; the sorting header dragged onto "City"
# exchanges the two columns and takes its colour along; a slow drag moves
# the rows with the pointer and does not glide; a fling glides on and stops.
# The title tells the order, the search text and the current customer:
#   "Novaxis column browse - <order> [<search>] - <pos> of <count>: <no.> <name> <balance>"
# Every screenshot is taken once the sample has come to rest (wait_idle), so
# a busy machine only makes the check slower. With NX_SHOT set, the window is
# saved there as a PNG at the end.
source "$(dirname "$0")/../../tests/e2e/common.bash"
start_in_empty_folder colbrowse

id=$(wait_window "Novaxis column browse.*" 120) || fail "no window"
title() { xdotool getwindowname "$id" 2>/dev/null || true; }
# Waits up to $2 seconds for the title to match the regex $1.
wait_title() {
  local re=$1 seconds=${2:-20} i
  for ((i = 0; i < seconds * 10; i++)); do
    [[ $(title) =~ $re ]] && return 0
    sleep 0.1
  done
  fail "title '$(title)' never matched '$re'"
}
wait_title ' - Last name \[\] - 1 of 100000: ' 600
size=$(stat -c %s colbrowse.dbf)
((size >= 12800000)) || fail "the table has $size bytes, not 100,000 records"
[[ ! -e colbrowse.tmp.dbf ]] || fail "the partial table was left behind"
echo "table generated: $size bytes; $(title)"

# The sort-coloured header cell's inside as "W H X Y" (screen pixels).
amber() {
  convert "$work/$1.png" -fill black +opaque "rgb(255,200,0)" -fill white -opaque "rgb(255,200,0)" -trim \
    -format '%w %h %X %Y\n' info: | tr -d '+'
}
settle
shot start
read -r aw ah ax ay < <(amber start)
((aw > 100 && aw < 120)) || fail "no sort-coloured 'Last name' header ($aw x $ah)"
X0=$((ax - 1 - 60))  # client left: the "Last name" header starts 60 pixels in
HEAD=$((ay - 1))
LH=$((ah + 3))
ymid() { echo $((HEAD + $1 * LH + LH / 2)); }
echo "client at x=$X0, header at y=$HEAD, line height $LH"

# Scrolling right moves the columns after the frozen two: "First name"
# leaves, "Last name" stays where it was.
act focus mousemove $((X0 + 230)) "$(ymid 3)" click 1
band() { convert "$work/$1.png" -crop "$3x$((LH - 2))+$2+$(($(ymid "$4") - LH / 2 + 1))" +repage "$work/$1-$4.png"; }
same() { [[ $(compare -metric AE "$1" "$2" null: 2>&1 || true) == 0 ]]; }
band start $((X0 + 280)) 400 0
act right key --clearmodifiers Right
band right $((X0 + 180)) 400 0
same "$work/start-0.png" "$work/right-0.png" || fail "Right did not scroll the columns by one"
read -r aw ah bx by < <(amber right)
((bx == ax && by == ay)) || fail "the frozen 'Last name' column moved ($ax -> $bx)"
xdotool key --clearmodifiers Left
echo "frozen columns stay while the others scroll"

# Typed search in the name order; Q matches nothing after SMI and is dropped.
xdotool key --clearmodifiers --delay 100 s m i
wait_title ' - Last name \[SMI\] - [0-9]+ of 100000: [0-9]{6} Smi'
xdotool key --clearmodifiers --delay 100 q t
wait_title ' - Last name \[SMIT\] - [0-9]+ of 100000: [0-9]{6} Smith '
echo "search: $(title)"

# A double click on the Balance header sorts by balance; digits seek there
# (a letter is refused).
xdotool mousemove $((X0 + 540)) $((HEAD + LH / 2)) click --repeat 2 --delay 80 1
wait_title ' - Balance \[\] - '
xdotool key --clearmodifiers --delay 100 x 5 0 0
wait_title ' - Balance \[500\] - '
balance=$(title | sed -E 's/.* ([0-9.]+)$/\1/')
awk -v b="$balance" 'BEGIN { exit !(b >= 500 && b < 510) }' || fail "seek 500 found the balance $balance"
settle
shot sorted
read -r aw ah ax ay < <(amber sorted)
((ax - 1 == X0 + 490)) || fail "the sort colour is not on the Balance header (x $ax)"
echo "sorted by balance: $(title)"

# The Balance header dragged onto City: the columns change places and the
# sort colour goes with Balance.
act exchanged mousemove $((X0 + 540)) $((HEAD + LH / 2)) mousedown 1 sleep 0.2 \
  mousemove $((X0 + 440)) $((HEAD + LH / 2)) sleep 0.2 mousemove $((X0 + 340)) $((HEAD + LH / 2)) sleep 0.2 mouseup 1
read -r aw ah ax ay < <(amber exchanged)
((ax - 1 == X0 + 280)) || fail "the header drag did not exchange Balance and City (sort colour at x $ax)"
echo "Balance and City exchanged"

# Line positions in the title: the number before " of ".
pos() { title | sed -E 's/.* - ([0-9]+) of .*/\1/'; }

# A slow drag: the row pressed on line 20 follows the pointer to line 12
# and stays current; nothing glides. Each move is sent 0.2 s after the
# sample took in the one before, so the drag is slow however busy the
# machine is.
act slow0 mousemove $((X0 + 230)) "$(ymid 20)" click 1
p0=$(pos)
xdotool mousedown 1
settle
for line in $(seq 19 -1 12); do
  sleep 0.2
  xdotool mousemove $((X0 + 230)) "$(ymid "$line")"
  settle
done
sleep 0.3
act slow1 mouseup 1
band slow0 $((X0 + 180)) 500 20
band slow1 $((X0 + 180)) 500 12
same "$work/slow0-20.png" "$work/slow1-12.png" ||
  fail "the dragged row is not under the pointer on line 12"
[[ $(pos) == "$p0" ]] || fail "the slow drag moved the current row ($p0 -> $(pos))"
echo "slow drag: row $p0 followed the pointer"

# A fling: line 25 up to line 15 in about 50 ms, released at once. The
# current row stays through the drag; the glide moves it on by steps to the
# last line, then stops. The sample measures the speed as it takes the moves
# in: one starved of processor time in the middle of them sees a slower drag,
# so a flick that did not glide at all is tried again.
flick=(mousemove $((X0 + 230)) "$(ymid 25)" mousedown 1)
for line in $(seq 24 -1 15); do flick+=(sleep 0.005 mousemove $((X0 + 230)) "$(ymid "$line")"); done
flick+=(mouseup 1)
glided=0
for attempt in 1 2 3; do
  act fling0 mousemove $((X0 + 230)) "$(ymid 25)" click 1
  pa=$(pos)
  act fling1 "${flick[@]}"
  glided=$(($(pos) - pa))
  ((glided != 0)) && break
  echo "the flick did not glide, again"
done
echo "fling from row $pa: settled $glided rows further"
((glided > 10 && glided <= 120)) || fail "the fling moved $glided rows"

[[ -n "${NX_SHOT:-}" ]] && import -window "$id" "$NX_SHOT"
close_demo "$pid"
