#!/usr/bin/env bash
# The form sample driven from the keyboard: the name is typed in lower case
# and must be stored upper case, the date is typed and stepped back a day
# with Page Up, the amount typed and stepped up by one with Page Down, the
# PIN typed blind, two lines of notes typed; Enter on OK saves. An
# independent reader (python3-dbfread) then checks the record in the table.
# NX_SHOT=<file.png> also saves a screenshot of the filled form.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
dir=$(mktemp -d)
export NX_FORM_DBF
NX_FORM_DBF=$(winepath -w "$dir/customer.dbf")
wine ./form.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$dir"' EXIT

form=$(wait_window "Customer" 120) || fail "no form"
activate "$form"
wait_idle "$pid" || fail "the form did not come to rest"

key -t "smith"                       # the name: "@!" makes it SMITH
key Tab
key -t "24121990"                    # the date: 24.12.1990
key Home
key Prior                            # the day part, one back: 23.12.1990
key Tab
key -t "1234.5"                      # the amount: 1234.50
key Home
key Next                             # the integer part, one up: 1235.50
key Tab
key -t "4711"                        # the PIN, shown as marks
key Tab
key -t "first line"
key Return
key -t "second line"
if [[ -n "${NX_SHOT:-}" ]]; then
  import -window root "$NX_SHOT"
  echo "screenshot: $NX_SHOT"
fi
key Tab                              # OK
xdotool key --clearmodifiers Return  # saves and ends the program
wait_exit_rc "$pid" 120
[[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
trap 'rm -rf "$dir"' EXIT

/usr/bin/python3 - "$dir/customer.dbf" <<'PY' || fail "the record in the table is not what was typed"
import sys, datetime
from dbfread import DBF
rows = list(DBF(sys.argv[1], char_decode_errors="strict"))
assert len(rows) == 1, rows
r = rows[0]
want = {"NAME": "SMITH", "BORN": datetime.date(1990, 12, 23), "AMOUNT": 1235.5, "PIN": "4711",
        "NOTES": "first line\r\nsecond line"}
for k, v in want.items():
    got = r[k].rstrip() if isinstance(r[k], str) else r[k]
    if k == "AMOUNT":
        got = float(got)
    assert got == v, f"{k}: {got!r} != {v!r}"
print("record:", dict(r))
PY
echo "form: record saved and read back"
