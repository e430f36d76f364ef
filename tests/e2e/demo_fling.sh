#!/usr/bin/env bash
# Drags and flings the demo's rows with the mouse and reads the outcome from
# screenshots: every data line is identified by the hash of its pixels,
# learnt from screens whose rows are known (Home, Page Down, Page Down).
#  - a slow drag moves the rows with the pointer and does not glide;
#  - a fast upward flick glides on after the release and stops by itself;
#  - a click during a glide stops it and is never taken as a press: the
#    highlight stays on the last line, where the glide left it, whichever
#    line was clicked and whenever in a step the click came.
# Every screenshot is taken once the demo has come to rest (wait_idle), so
# a busy machine only makes the check slower.
source "$(dirname "$0")/common.bash"
NX_BUILD=$(cd "$NX_BUILD" && pwd)
cd "$NX_BUILD"
work=$NX_BUILD/e2e_fling
rm -rf "$work"
mkdir -p "$work"
wine ./demo.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
id=$(wait_window "$TITLE" 120) || fail "no window titled '$TITLE'"
settle

X=150     # inside column 2: no sideways column moves
W=700     # the seven columns

# Line geometry from the grid lines of column 1 in the first screen.
shot start
mapfile -t grid < <(convert "$work/start.png" -crop 1x800+90+0 +repage txt:- |
  awk -F'[,:]' '/#808080/ && $2 > 30 {print $2}')
((${#grid[@]} > 20)) || fail "no browse lines found"
H=$((grid[1] - grid[0]))
LINES=${#grid[@]}
Y1=$((grid[0] - H + 1))  # top of line 1
echo "line height $H, $LINES lines, line 1 at y=$Y1"
ymid() { echo $((Y1 + ($1 - 1) * H + H / 2)); }

hashes() {
  convert "$work/$1.png" -crop "${W}x$((LINES * H))+0+$Y1" +repage -crop "${W}x${H}" +repage -format '%#\n' info:
}
# The line (1..LINES) whose middle is not white: the highlighted row.
highlight() {
  convert "$work/$1.png" -crop "1x$((LINES * H))+90+$Y1" +repage txt:- |
    awk -F'[,:]' -v h="$H" '!done && !/^#/ && ($2 % h) == int(h / 2) && !/#FFFFFF/ {print int($2 / h) + 1; done = 1}'
}

declare -A rowOf
learn() {  # learn <shot> <row on line 1>
  local line=1 hash
  while read -r hash; do
    rowOf[$hash]=$(($2 + line - 1))
    line=$((line + 1))
  done < <(hashes "$1")
}
# The row on line 1, by the lines whose pixels are known; ? when unsure.
top() {
  local line=1 hash
  declare -A votes=()
  while read -r hash; do
    if [[ -n "${rowOf[$hash]:-}" ]]; then
      local t=$((rowOf[$hash] - line + 1))
      votes[$t]=$((${votes[$t]:-0} + 1))
    fi
    line=$((line + 1))
  done < <(hashes "$1")
  local best="?" n=0 t
  for t in "${!votes[@]}"; do ((votes[$t] > n)) && { best=$t; n=${votes[$t]}; }; done
  ((n >= 3)) && echo "$best" || echo "?"
}
# Focus the browse with a click on its current row, then learn rows 1 to
# 3 x LINES from the keyboard: Page Down from line 1 moves a whole screen.
act focus mousemove $X "$(ymid 1)" click 1
act keys0 key Home
act keys1 key Next
act keys2 key Next
learn keys0 1
learn keys1 $((1 + LINES))
learn keys2 $((1 + 2 * LINES))
[[ $(top keys2) == $((1 + 2 * LINES)) ]] || fail "Page Down did not move by a screen"
act home key ctrl+Prior
[[ $(top home) == 1 && $(highlight home) == 1 ]] || fail "Ctrl+Page Up did not go to the first row"
echo "keys: Home, Page Down, Ctrl+Page Up ok"

# Slow drag: line 20 up to line 10. Each move is sent 0.2 s after the demo
# took in the one before, so it measures at most 9 lines in 1.8 s (speed 20).
xdotool mousemove $X "$(ymid 20)" mousedown 1
settle
for line in $(seq 19 -1 10); do
  sleep 0.2
  xdotool mousemove $X "$(ymid "$line")"
  settle
done
sleep 0.3
act slow mouseup 1
t1=$(top slow)
echo "slow drag: top row $t1; highlight on line $(highlight slow)"
[[ $t1 == 11 ]] || fail "slow drag: the rows did not follow the pointer or glided (top row $t1, expected 11)"
[[ $(highlight slow) == 10 ]] || fail "slow drag: the grabbed row is not under the pointer"

# A fast flick: line 30 up to line 20 in about 50 ms, released at once; the
# rows follow it by 10 lines and then glide on.
flick=(mousemove $X "$(ymid 30)" mousedown 1)
for line in $(seq 29 -1 20); do flick+=(sleep 0.005 mousemove $X "$(ymid "$line")"); done
flick+=(mouseup 1)

# Flicks from the top row in $1 into screenshot $2 and sets BASE (top row at
# the release) and END (at rest). The demo measures the speed as it takes
# the moves in: one starved of processor time in the middle of them sees a
# slower drag, so a flick that did not glide at all is tried again.
fling() {
  local from=$1 name=$2 attempt
  for attempt in 1 2 3; do
    BASE=$((from + 10))
    act "$name" "${flick[@]}"
    END=$(top "$name")
    [[ $END != "?" ]] || fail "$name: rows not recognised"
    ((END > BASE)) && return 0
    echo "$name: the flick did not glide (top row $END), again"
    from=$END
  done
  fail "$name: no glide after three fast flicks"
}

fling 11 fling1
g1=$((END - BASE))
echo "flick released at top row $BASE, glided $g1 rows"
((g1 <= 40)) || fail "glided $g1 rows, more than 40"
[[ $(highlight fling1) == "$LINES" ]] || fail "after an upward glide the last line is not current"

# The flick again, and a click on data line $1 of the gliding rows: $2
# seconds after the release (where a click once leaked through as a press in
# about half of the tries), or "shown": as soon as a screenshot shows the
# glide, which lands the click in the middle of a step. The highlight must
# stay on the last line, where the glide left it. A click taken as a press
# would put it on the clicked line and let the rest of the glide walk it
# down, by at most 39 lines: clicks on lines 1 to 4 can never end up on the
# last line that way. A highlight left on the clicked line itself may be a
# press after a glide that had already ended: that try is made again.
click_during_glide() {
  local line=$1 when=$2 attempt i t hl
  for attempt in 1 2 3; do
    # From the first row, so that every row shown is one learnt above.
    act home key ctrl+Prior
    BASE=11
    if [[ $when == shown ]]; then
      xdotool "${flick[@]}"
      for ((i = 0; i < 60; i++)); do
        shot probe
        t=$(top probe)
        [[ $t != "?" ]] && ((t > BASE)) && break
      done
      act click mousemove $X "$(ymid "$line")" click 1
    else
      act click "${flick[@]}" sleep "$when" mousemove $X "$(ymid "$line")" click 1
    fi
    END=$(top click)
    hl=$(highlight click)
    [[ $END != "?" ]] || fail "rows not recognised after the click on line $line"
    if ((END == BASE)); then
      echo "click on line $line ($when): the flick did not glide, again"
    elif [[ $hl == "$LINES" ]]; then
      echo "flick released at top row $BASE, click on line $line ($when): stopped after $((END - BASE)) rows"
      ((END - BASE < 40)) || fail "the click on line $line did not stop the glide"
      return 0
    elif [[ $hl == "$line" ]]; then
      echo "click on line $line ($when): the glide had ended before the click, again"
    else
      fail "the click on line $line ($when) was taken as a press: highlight on line $hl, not $LINES"
    fi
  done
  fail "click on line $line ($when): three flicks without a click during the glide"
}

for try in "1 0.15" "2 0.2" "3 0.25" "4 0.3" "1 shown" "2 shown" "3 shown" "4 shown"; do
  read -r line when <<<"$try"
  click_during_glide "$line" "$when"
done

close_demo "$pid"
