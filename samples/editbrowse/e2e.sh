#!/usr/bin/env bash
# The edit browse sample, run in an empty folder: the first run creates the
# table; the keyboard moves to a cell, Enter opens the editor over it, the
# typed text and Enter go into the table, a typed price is a number as wide
# as its field, and Esc throws an edit away. After Alt+F4 an independent
# reader (python3-dbfread) checks the file. The Window menu opens the tree
# window; Enter and a double click open two branches. With NX_SHOT set, the
# two windows are saved there as a PNG.
source "$(dirname "$0")/../../tests/e2e/common.bash"
start_in_empty_folder editbrowse

id=$(wait_window "Novaxis edit browse" 120) || fail "no window titled 'Novaxis edit browse'"
# The pointer stays off the browses unless it clicks: under Wine a browse
# under it polls it every 400 ms, and with an editor's caret blinking too
# the program would seldom rest for long on a busy machine.
xdotool mousemove 2 2
settle
[[ -f editbrowse.dbf ]] || fail "the table was not created"
activate "$id"
settle
keys() {
  xdotool key --clearmodifiers --delay 60 "$@"
  settle
}
type_text() {
  xdotool type --clearmodifiers --delay 60 "$1"
  settle
}
# The grey of the main window's area, to see the editor come and go.
read -r w h x y <<<"$(geometry "$id" | tr 'x+' '  ')"
snap() { import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/$1.png"; }
differs() { [[ $(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true) != 0 ]]; }

# Row 2, first cell: Enter opens the editor, the name is typed over.
keys Down
snap before
keys Return
type_text "Kiwi fruit"
snap editing
differs before editing || fail "no editor showed over the cell"
keys Return
snap after
differs editing after || fail "the editor stayed open after Enter"

# The price of the same row: a number, typed from its first digit.
keys Right Right Return
type_text "7.25"
keys Return

# Row 3: an edit thrown away with Esc.
keys Down Left Left Return
type_text "zzz"
keys Escape

# The Window menu opens the tree beside the table. Its title tells the
# current item, its state and its place among the visible rows:
#   "Novaxis tree - <item> [open|closed|leaf] - <row> of <rows>"
keys alt+w t
tid=$(wait_window "Novaxis tree - Fruit \[closed\] - 1 of 3" 60) || fail "no tree window with three closed rows"
ttitle() { xdotool getwindowname "$tid" 2>/dev/null || true; }
wait_ttitle() {
  local re=$1 i
  for ((i = 0; i < 200; i++)); do
    [[ $(ttitle) =~ $re ]] && return 0
    sleep 0.1
  done
  fail "tree title '$(ttitle)' never matched '$re'"
}
read -r tw th tx ty <<<"$(geometry "$tid" | tr 'x+' '  ')"
xdotool mousemove --window "$tid" $((tw / 2)) 8 click 1
settle
tsnap() { import -window root -crop "${tw}x${th}+${tx}+${ty}" +repage "$work/$1.png"; }
tsnap closed
# Enter opens "Fruit": its two children show.
keys Return
wait_ttitle '^Novaxis tree - Fruit \[open\] - 1 of 5$'
# A double click on "Apples" (the row in the sample's selection colour
# after Down) opens it.
keys Down
wait_ttitle '^Novaxis tree - Apples \[closed\] - 2 of 5$'
tsnap apples
read -r hw hh hx hy < <(convert "$work/apples.png" -fill white +opaque "rgb(0,84,147)" -fill black -opaque "rgb(0,84,147)" \
  -negate -trim -format '%w %h %X %Y\n' info: | tr -d '+')
((hh > 8 && hh < 30)) || fail "no highlighted row in the tree window (${hw}x${hh})"
xdotool mousemove $((tx + hx + hw / 2)) $((ty + hy + hh / 2)) click --repeat 2 --delay 80 1 mousemove 2 2
wait_ttitle '^Novaxis tree - Apples \[open\] - 2 of 8$'
settle
tsnap open
# Three more rows and, on the left, the grey tree lines and boxes.
grey() { convert "$work/$1.png" -fill black +opaque "rgb(128,128,128)" -fill white -opaque "rgb(128,128,128)" \
  -format '%[fx:int(mean*w*h+0.5)]' info:; }
((g_closed = $(grey closed), g_open = $(grey open), g_open > g_closed + 30)) ||
  fail "the tree lines did not grow with the open branch ($g_closed -> $g_open grey pixels)"
differs closed open || fail "the tree window did not change"
echo "tree: $(ttitle); grey pixels $g_closed -> $g_open"
[[ -n "${NX_SHOT:-}" ]] && import -window root -crop "$((tx + tw - x))x$((th > h ? th : h))+${x}+${y}" +repage "$NX_SHOT"
# Alt+F4 closes the tree window alone.
keys alt+F4
for ((i = 0; i < 200; i++)); do
  xdotool search --name '^Novaxis tree' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --name '^Novaxis tree' >/dev/null 2>&1 && fail "the tree window did not close"
xdotool mousemove --window "$id" $((w / 2)) 8 click 1
settle

close_demo "$pid"
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - editbrowse.dbf <<'EOF' || fail "the table does not hold the edits"
import sys
from dbfread import DBF
rows = list(DBF(sys.argv[1], char_decode_errors="strict"))
assert len(rows) == 12, len(rows)
assert rows[1]["ITEM"] == "Kiwi fruit", rows[1]
assert abs(rows[1]["PRICE"] - 7.25) < 1e-9, rows[1]
assert rows[1]["QTY"] == 80, rows[1]
assert rows[2]["ITEM"] == "Cherries", rows[2]
assert rows[0]["ITEM"] == "Apples", rows[0]
print("table:", [(r["ITEM"], r["PRICE"]) for r in rows[:3]])
EOF
