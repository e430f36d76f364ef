#!/usr/bin/env bash
# The errors sample: Space on "Open table" with orders.dbf missing shows the
# error dialog with Retry, Quit and Default; the check writes the table and
# retries, and the table opens. Tab, Space on "Select alias" shows Quit and
# Default; Default goes on. Tab, Space on "Bad index" shows only Quit, which
# ends the program with exit code 1. After each error "Error.log" must hold
# its description. NX_SHOT=<file.png> also saves the first error dialog.
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
probe=$(mktemp)
export NX_ERRORS_PROBE
NX_ERRORS_PROBE=$(winepath -w "$probe")
rm -f orders.dbf Error.log
wine ./errors.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$probe" orders.dbf' EXIT
DIALOG="Novaxis for Harbour"

wait_status() {
  for _ in $(seq 1200); do
    [[ "$(tail -n 1 "$probe" | tr -d '\r')" == "$1" ]] && return 0
    sleep 0.1
  done
  fail "status '$(tail -n 1 "$probe")', expected '$1'"
}

log_has() {
  for _ in $(seq 600); do
    [[ -f Error.log ]] && grep -qF "$1" Error.log && return 0
    sleep 0.1
  done
  fail "Error.log lacks '$1'"
}

main=$(wait_window "Errors sample" 120) || fail "no main window"
activate "$main"
settle

# 1. A missing table: Retry after the file is back.
key space
dlg=$(wait_window "$DIALOG" 120) || fail "no error dialog for the missing table"
wait_idle "$pid" || fail "the error dialog did not come to rest"
log_has "   Error description: (DOS Error 2) DBF/1001  Open error: orders.dbf"
log_has "   Called from: main.cpp => OPENTABLE("
if [[ -n "${NX_SHOT:-}" ]]; then
  read -r w h x y <<<"$(geometry "$dlg" | tr 'x+' '  ')"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$NX_SHOT"
  echo "screenshot: $NX_SHOT"
fi
# A dBASE III table with one character field and no records.
python3 - <<'PY'
import struct
field = b"NAME".ljust(11, b"\0") + b"C" + b"\0" * 4 + bytes([10, 0]) + b"\0" * 14
header = struct.pack("<BBBBIHH", 3, 126, 12, 8, 0, 32 + 32 + 1, 1 + 10) + b"\0" * 20
open("orders.dbf", "wb").write(header + field + b"\r" + b"\x1a")
PY
key alt+r
wait_gone "$DIALOG"
wait_status "Table open: 0 records"
echo "retry: the table opened"

# 2. A missing alias: Default.
key Tab
key space
wait_window "$DIALOG" 120 >/dev/null || fail "no error dialog for the missing alias"
wait_idle "$pid" || fail "the error dialog did not come to rest"
log_has "   Error description: Error DBF/1002  Alias does not exist: DBSELECTAREA"
key alt+d
wait_gone "$DIALOG"
wait_status "No alias: the default was taken"
echo "default: the program goes on"

# 3. A bad array index: only Quit, which ends the program with code 1.
key Tab
key space
wait_window "$DIALOG" 120 >/dev/null || fail "no error dialog for the bad index"
log_has "   Error description: Error BASE/1132  Bound error: array access"
log_has "     Param   1:    N    13"
xdotool key --clearmodifiers alt+q
wait_exit_rc "$pid" 120
trap 'rm -f "$probe" orders.dbf' EXIT
[[ "$EXIT_CODE" == 1 ]] || fail "exit code $EXIT_CODE after Quit"
echo "quit: exit code 1"
