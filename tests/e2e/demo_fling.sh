#!/usr/bin/env bash
# Drags and flings the demo's rows with the mouse and reads the outcome from
# screenshots: every data line is identified by the hash of its pixels,
# learnt from screens whose rows are known (Home, Page Down, Page Down).
#  - a slow drag moves the rows with the pointer and does not glide;
#  - a fast upward flick glides on after the release and stops;
#  - a click during a glide stops it and is not taken as a press.
source "$(dirname "$0")/common.bash"
NX_BUILD=$(cd "$NX_BUILD" && pwd)
cd "$NX_BUILD"
work=$NX_BUILD/e2e_fling
rm -rf "$work"
mkdir -p "$work"
wine ./demo.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
id=$(wait_window "$TITLE" 30) || fail "no window titled '$TITLE'"
sleep 1.5

X=150     # inside column 2: no sideways column moves
W=700     # the seven columns
shot() { import -window root "$work/$1.png"; }

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
    awk -F'[,:]' -v h="$H" '!/^#/ && ($2 % h) == int(h / 2) && !/#FFFFFF/ {print int($2 / h) + 1; exit}'
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
xdotool mousemove $X "$(ymid 1)" click 1
sleep 0.5
xdotool key Home
sleep 0.5
shot keys0
xdotool key Next
sleep 0.5
shot keys1
xdotool key Next
sleep 0.5
shot keys2
learn keys0 1
learn keys1 $((1 + LINES))
learn keys2 $((1 + 2 * LINES))
[[ $(top keys2) == $((1 + 2 * LINES)) ]] || fail "Page Down did not move by a screen"
xdotool key ctrl+Prior
sleep 0.5
shot home
[[ $(top home) == 1 && $(highlight home) == 1 ]] || fail "Ctrl+Page Up did not go to the first row"
echo "keys: Home, Page Down, Ctrl+Page Up ok"

# Slow drag: line 20 up to line 10, one line every 200 ms.
cmd=(mousemove $X "$(ymid 20)" mousedown 1)
for line in $(seq 19 -1 10); do cmd+=(sleep 0.2 mousemove $X "$(ymid "$line")"); done
cmd+=(sleep 0.3 mouseup 1)
xdotool "${cmd[@]}"
sleep 0.3
shot slow1
sleep 1.5
shot slow2
t1=$(top slow1) t2=$(top slow2)
echo "slow drag: top row $t1, then $t2; highlight on line $(highlight slow2)"
[[ $t1 == 11 ]] || fail "slow drag: the rows did not follow the pointer (top row $t1, expected 11)"
[[ $t2 == 11 ]] || fail "slow drag glided (top row $t2 a moment later)"
[[ $(highlight slow2) == 10 ]] || fail "slow drag: the grabbed row is not under the pointer"

# A fast flick: line 30 up to line 20 in about 50 ms, released at once.
flick=(mousemove $X "$(ymid 30)" mousedown 1)
for line in $(seq 29 -1 20); do flick+=(sleep 0.005 mousemove $X "$(ymid "$line")"); done
flick+=(mouseup 1)
xdotool "${flick[@]}"
sleep 0.3
shot fling1
f1=$(top fling1)
# The glide has ended when two screenshots a second apart agree (a loaded
# machine stretches its pauses, so poll rather than wait a fixed time).
settled() {
  local name=$1 prev cur i
  prev=$(top "$name")
  for i in $(seq 20); do
    sleep 1
    shot "$name"
    cur=$(top "$name")
    [[ $cur != "?" && $cur == "$prev" ]] && { echo "$cur"; return 0; }
    prev=$cur
  done
  echo "?"
}
shot fling2
f2=$(settled fling2)
shot fling3
f3=$(top fling3)
echo "flick released at top row 21: $f1 after 0.3 s, settled on $f2"
[[ $f2 != "?" && $f2 == "$f3" ]] || fail "the glide did not stop ($f2, $f3)"
((f2 > 21)) || fail "no glide after a fast flick (top row $f2)"
g1=$((f2 - 21))
((g1 <= 40)) || fail "glided $g1 rows, more than 40"
[[ $(highlight fling3) == "$LINES" ]] || fail "after an upward glide the last line is not current"
echo "glided $g1 rows"

# The same flick, and a click on line 10 a moment after the release.
base=$((f2 + 10))
xdotool "${flick[@]}" sleep 0.15 mousemove $X "$(ymid 10)" click 1
sleep 0.3
shot click1
c1=$(top click1)
shot click2
c2=$(settled click2)
echo "flick released at top row $base, clicked: $c1 after 0.3 s, settled on $c2"
[[ $c2 != "?" ]] || fail "the click did not stop the glide ($c1, $c2)"
((c2 > base)) || fail "no glide before the click (top row $c2)"
((c2 - base < g1)) || fail "the glide ran its full course ($((c2 - base)) rows)"
# Taken as a press, the click would have selected the row under it, line 10.
[[ $(highlight click2) != 10 ]] || fail "the click that stopped the glide was taken as a press"
echo "click stopped the glide after $((c2 - base)) rows"

close_demo "$pid"
