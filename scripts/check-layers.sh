#!/usr/bin/env bash
# The layer rule: a layer includes only itself and the layers below it
# (rt < native < errors < classes < app). Fails naming every include that
# reaches up.
set -u
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
layers=(rt native errors classes app)
status=0
for i in "${!layers[@]}"; do
  above=("${layers[@]:i+1}")
  [ ${#above[@]} -eq 0 ] && continue
  pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($(IFS='|'; echo "${above[*]}"))/"
  if hits=$(grep -rnE "$pattern" "$root/src/${layers[i]}"); then
    echo "src/${layers[i]} includes a higher layer:" >&2
    echo "$hits" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
