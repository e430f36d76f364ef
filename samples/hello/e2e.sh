#!/usr/bin/env bash
# Hello opens its titled window with the greeting painted in the middle;
# Alt+F4 ends it with exit code 0. $1 is a build directory whose samples/
# folder holds hello.exe (this tree's build, or an outside build of the sample).
source "$(dirname "$0")/../../tests/e2e/common.bash"
cd "$NX_BUILD/samples"
[[ -f hello.exe ]] || fail "no hello.exe in $NX_BUILD/samples"
wine ./hello.exe &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

id=$(wait_window "Hello, Novaxis" 120) || fail "no window titled 'Hello, Novaxis'"
echo "window: $(geometry "$id")"

# The greeting, once the sample has come to rest: dark text on the light
# client area, around its centre.
wait_idle "$pid" || fail "the sample did not come to rest"
read -r w h x y <<<"$(geometry "$id" | tr 'x+' '  ')"
darkest=$(import -window root -crop "120x16+$((x + w / 2 - 60))+$((y + h / 2))" +repage \
            -colorspace Gray -format '%[fx:minima]' info: 2>/dev/null || echo 1)
awk "BEGIN{exit !($darkest < 0.3)}" || fail "no greeting painted (darkest grey $darkest)"
echo "greeting painted"

activate "$id"
close_demo "$pid"
