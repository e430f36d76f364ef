#!/usr/bin/env bash
# The demo's table in its browse: a screenshot after start shows the header
# band, the highlighted first row right under it, grey column lines every
# 100 pixels for seven columns, and nothing drawn where an eighth column
# ("Col8:...") would begin: the seventh column runs on, empty, to the edge.
source "$(dirname "$0")/common.bash"
cd "$NX_BUILD"
shot=$(mktemp --suffix=.png)
wine ./demo.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$shot" "$shot.rgb" "$shot.py"' EXIT

id=$(wait_window "$TITLE" 120) || fail "no window titled '$TITLE'"
geo=$(geometry "$id")
read -r sw sh <<<"$(xwininfo -root | awk '/^  Width/{w=$NF} /^  Height/{h=$NF} END{print w, h}')"
echo "window $geo, screen ${sw}x${sh}"

# The checks, on a raw RGB dump of the screen.
cat >"$shot.py" <<'EOF'
import sys

data = open(sys.argv[1], "rb").read()
W, H = int(sys.argv[2]), int(sys.argv[3])
px = lambda x, y: tuple(data[(y * W + x) * 3:(y * W + x) * 3 + 3])
GREY = (128, 128, 128)
errors = []

def check(cond, msg):
    if not cond:
        errors.append(msg)

# The highlighted first row: the first run down the empty end of cell 3
# (client x about 285) of a colour other than white and grey that has a grey
# grid row right under it and fills the blank ends of the other cells too.
x0 = 285
col = [px(x0, y) for y in range(H)]
white = (255, 255, 255)
band = None
y = 0
while y < H:
    c = col[y]
    run = 1
    while y + run < H and col[y + run] == c:
        run += 1
    if (c not in (white, GREY) and run >= 8 and y + run < H and col[y + run] == GREY
            and all(px(x, y + run // 2) == c for x in (85, 185, 685, 900, 1000))):
        band = (y, run, c)
        break
    y += run
if band is None:
    print("no highlighted row found", file=sys.stderr)
    sys.exit(1)
btop, brun, hl = band
h = brun + 1            # a line: its cells plus the grey grid row under them
ctop = btop - h         # the client area starts with the header line
head = px(x0, ctop + h // 2)
print(f"line height {h}, client top {ctop}, header {head}, highlight {hl}")

# The client's left edge: the highlighted band's first pixel on its row.
my = btop + brun // 2
cleft = next(x for x in range(W) if px(x, my) == hl)
print(f"client left {cleft}")
check(cleft <= 4, f"the browse does not start at the window's left edge: {cleft}")
# The header line: one background, not the highlight, behind every column
# (Wine's default theme draws it; the classic look would too).
check(head != hl, "the header has the highlight colour")
check(all(px(cleft + dx, ctop + h // 2) == head for dx in (40, 140, 340, 640, 900)), "header band colour")

# Grey column lines 2 pixels left of each column start, 100 pixels apart, for seven columns.
for k in range(1, 7):
    x = cleft + 100 * k - 2
    check(px(x, my) == GREY, f"no column line at client x {100 * k - 2}: {px(x, my)}")
    check(px(x, btop + brun + h // 2) == GREY, f"no column line on line 2 at {100 * k - 2}")
check(px(cleft + 698, my) == hl, "a column line at 698: an eighth column")

# Text in the first and seventh cells of the highlighted row, none from 700 on.
def ink(x1, x2, y1, y2, back):
    return sum(1 for x in range(x1, x2) for y in range(y1, y2) if px(x, y) != back)
check(ink(cleft + 2, cleft + 97, btop, btop + brun, hl) > 20, "no text in the first cell")
check(ink(cleft + 602, cleft + 697, btop, btop + brun, hl) > 20, "no text in the seventh cell")
right = cleft + 700
edge = right
while edge < W and px(edge, my) == hl:
    edge += 1
print(f"highlight ends at client x {edge - cleft}")
check(edge - cleft > 900, "the last column is not stretched")
for line in range(1, 8):
    top = ctop + line * h
    back = hl if line == 1 else px(right + 10, top + 1)
    n = ink(right, edge, top, top + h - 1, back)
    check(n == 0, f"line {line}: {n} pixels drawn where an eighth column would be")
# Header: the numbers 1..7 only; nothing from 700 on.
check(ink(right, edge - 3, ctop, ctop + h - 1, head) == 0, "header text past column 7")
check(ink(cleft + 2, cleft + 97, ctop, ctop + h - 1, head) > 5, "no header text in column 1")

for e in errors:
    print("FAIL:", e, file=sys.stderr)
sys.exit(1 if errors else 0)
EOF

# Once the demo has come to rest its first paint is complete.
wait_idle "$pid" || fail "the demo did not come to rest"
ok=""
import -window root "$shot"
convert "$shot" -depth 8 "rgb:$shot.rgb"
python3 "$shot.py" "$shot.rgb" "$sw" "$sh" && ok=1
# Keep a copy for a person to look at when asked.
[[ -n "${NX_KEEP_SHOT:-}" ]] && cp "$shot" "$NX_KEEP_SHOT"
[[ -n "$ok" ]] || fail "screenshot check failed"
echo "screenshot checks passed"

activate "$id"
close_demo "$pid"
