#!/usr/bin/env bash
# The edit browse sample, run in an empty folder: the first run creates the
# table; the keyboard moves to a cell, Enter opens the editor over it, the
# typed text and Enter go into the table, a typed price is a number as wide
# as its field, and Esc throws an edit away. After Alt+F4 an independent
# reader (python3-dbfread) checks the file. With NX_SHOT set, the window
# with an editor open is saved there as a PNG.
source "$(dirname "$0")/../../tests/e2e/common.bash"
NX_BUILD=$(cd "$NX_BUILD" && pwd)
work=$(mktemp -d)
cd "$work"
wine "$NX_BUILD/samples/editbrowse.exe" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

id=$(wait_window "Novaxis edit browse" 120) || fail "no window titled 'Novaxis edit browse'"
settle() { wait_idle "$pid" || fail "the sample did not come to rest"; }
settle
[[ -f editbrowse.dbf ]] || fail "the table was not created"
xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus "$id" || true
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
[[ -n "${NX_SHOT:-}" ]] && cp "$work/editing.png" "$NX_SHOT"
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
