#!/usr/bin/env bash
# The print sample on a real printer: Wine's PostScript driver printing into
# a file (installed here as the default printer, removed at the end).
# P prints the report: ghostscript turns the job into page images, which must
# be exactly two pages with the header box, the rule, the logo, the rows and
# the page number where the report puts them in centimetres. V shows the same
# pages in the preview, whose page metafiles leave the temporary directory
# when it closes. The last choice is remembered in print.ini: a new start
# offers it again and Enter repeats it. With NX_SHOT set, the preview of page
# 1 is saved there as a PNG.
source "$(dirname "$0")/../../tests/e2e/common.bash"
here=$(cd "$(dirname "$0")" && pwd)
cd "$NX_BUILD"
out="$NX_BUILD/samples/print-e2e"
rm -rf "$out"
mkdir -p "$out"
printer="Novaxis Sample Printer"
pid=""
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
  wine ./nx_fileprinter.exe remove "$printer" >/dev/null 2>&1 || true
}
trap cleanup EXIT
wine ./nx_fileprinter.exe install "$printer" "$(winepath -w "$out/job.ps")" || fail "cannot install the file printer"
rm -f samples/print.ini

temp=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
[[ -d "$temp" ]] || fail "no temporary directory: $temp"
metafiles() { find "$temp" -maxdepth 1 -name 'nx*.emf' | wc -l; }

# Window names as the regular expressions wait_window takes.
caption() { echo "Print sample - P: printer, V: preview, Enter: again \\($1\\)"; }
start() {
  wine ./samples/print.exe &
  pid=$!
  main=$(wait_window "$(caption "$1")" 120) || fail "no sample window offering the $1"
  # Keys go to the active window once it is shown.
  for _ in $(seq 100); do
    xdotool windowactivate --sync "$main" 2>/dev/null && break
    sleep 0.1
  done
}
stop() {
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key --clearmodifiers alt+F4
  wait_exit_rc "$pid" 120
  [[ "$EXIT_CODE" == 0 ]] || fail "the sample ended with $EXIT_CODE"
  pid=""
}
# Waits until no window is named $1.
wait_gone() {
  for _ in $(seq 1200); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# ---- print on the printer ------------------------------------------------------
start printer
xdotool key p
for _ in $(seq 600); do
  grep -q '%%EOF' "$out/job.ps" 2>/dev/null && break
  sleep 0.1
done
grep -q '%%EOF' "$out/job.ps" || fail "no complete print job in $out/job.ps"
grep -q '^%%Title: Demo table' "$out/job.ps" || fail "the job has another title"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r150 -sOutputFile="$out/page-%d.ppm" "$out/job.ps" ||
  fail "ghostscript cannot read the job"
pages=$(find "$out" -name 'page-*.ppm' | wc -l)
[[ $pages == 2 ]] || fail "$pages pages printed, expected 2"
python3 "$here/check_report.py" 150 "$out/page-1.ppm" "$out/page-2.ppm" || fail "the printed pages are not as laid out"
grep -q 'Preview=.F.' samples/print.ini || fail "print.ini does not remember the printer"

# ---- preview ------------------------------------------------------------------------
before=$(metafiles)
xdotool key v
preview=$(wait_window "Demo table - Page 1 of 2" 120) || fail "no preview window"
[[ $(metafiles) == $((before + 2)) ]] || fail "expected two page metafiles in $temp"
if [[ -n "${NX_SHOT:-}" ]]; then
  wait_idle "$pid" || fail "the sample did not come to rest"  # the first paint
  import -window root -crop "$(geometry "$preview")" +repage "$NX_SHOT" 2>/dev/null || fail "no screenshot"
fi
xdotool key Next
wait_window "Demo table - Page 2 of 2" 120 >/dev/null || fail "the preview did not turn to page 2"
xdotool key Escape
wait_gone "Demo table - Page 2 of 2" || fail "the preview did not close"
for _ in $(seq 600); do [[ $(metafiles) == "$before" ]] && break; sleep 0.1; done
[[ $(metafiles) == "$before" ]] || fail "the page metafiles were not erased"
grep -q 'Preview=.T.' samples/print.ini || fail "print.ini does not remember the preview"
wait_window "$(caption preview)" 120 >/dev/null || fail "the caption does not offer the preview again"
stop

# ---- a new start offers the last choice ---------------------------------------------------
start preview
xdotool key Return
wait_window "Demo table - Page 1 of 2" 120 >/dev/null || fail "Enter did not repeat the preview"
xdotool key Escape
wait_gone "Demo table - Page 1 of 2" || fail "the preview did not close"
stop
echo "printed two pages as laid out; previewed, remembered and repeated"
