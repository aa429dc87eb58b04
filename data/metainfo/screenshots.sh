#!/usr/bin/env bash
# Takes the metainfo's screenshots from the running viewer: the sample log open on a virtual
# 1280 x 800 screen, the window filling it, captured with ImageMagick's import.
#
#   screenshots.sh BIN_DIR OUT_DIR     writes OUT_DIR/viewer.png
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
if [ -z "${CINDRAL_SCREENSHOT_DISPLAY:-}" ]; then
    export CINDRAL_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A home of its own: the user's settings neither change the picture nor are changed.
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" QT_QPA_PLATFORM=xcb \
    "$bin/cindral" -geometry 1280x800+0+0 "$bin/samples/sample.gdx" >"$home/viewer.out" 2>&1 &
viewer=$!
# Ready once the start-up log's last line is written (in the XDG folder, or beside a program
# whose folder can be written) and the first page had time to draw.
for _ in $(seq 300); do
    grep -qs "Updating hints" "$home/state/cindral/cindral.LOG" "$bin/cindral.LOG" && break
    kill -0 "$viewer" 2>/dev/null || { cat "$home/viewer.out" >&2; exit 1; }
    sleep 0.1
done
sleep 2
import -window root "$out/viewer.png"
kill "$viewer"
wait "$viewer" 2>/dev/null || true
echo "$out/viewer.png"
