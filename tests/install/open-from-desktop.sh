#!/usr/bin/env bash
# As a desktop opens files: installs the build into a temporary prefix, registers its file
# type and desktop entry there, asks xdg-mime which application opens GPX files, opens one
# with `gio open` under Xvfb, then a second one, which must become a second window of the
# same process. Every XDG folder is a temporary one; map tiles point at a closed port on this
# machine, so nothing leaves it.
# Usage: open-from-desktop.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
id=app.wend.Wend
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # An editor whose window never showed is not in pids: it would keep the test's output open.
  pkill -f -- "$work/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_DIRS=$work/xdg XDG_DATA_DIRS=$prefix/share:/usr/share
export PATH=$prefix/bin:$PATH
# The desktop most users have; its query of file types reads the shared MIME database.
export XDG_CURRENT_DESKTOP=GNOME
unset DESKTOP_SESSION WAYLAND_DISPLAY QT_QPA_PLATFORM
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --no-first-run"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# A desktop session has a message bus of its own. Without one, the editor's accessibility
# bridge goes looking for a bus and can wait on it before the first window shows.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/Wend" "$XDG_CONFIG_DIRS"
update-mime-database "$prefix/share/mime"
update-desktop-database "$prefix/share/applications"

cp "$source/samples/sample.gpx" "$work/first.gpx"
cp "$source/samples/sample.gpx" "$work/second.gpx"
cp "$source/samples/sample.gpx" "$work/third.gpx"
type=$(xdg-mime query filetype "$work/first.gpx")
[ "$type" = application/gpx+xml ] || { echo "FAIL: xdg-mime sees $type"; exit 1; }
handler=$(xdg-mime query default application/gpx+xml)
[ "$handler" = "$id.desktop" ] || { echo "FAIL: GPX files open with '$handler'"; exit 1; }

tiles=http://127.0.0.1:9/{z}/{x}/{y}.png
{
  echo "[General]"
  for key in StreetTileURL SatelliteTileURL HybridTileURL HybridLabelsTileURL TerrainTileURL; do
    echo "$key=$tiles"
  done
} >"$XDG_CONFIG_HOME/Wend/Wend.conf"

# Xvfb picks a free display and names it on the given descriptor.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
if [ -z "$DISPLAY" ] || [ "$DISPLAY" = ":" ]; then echo "FAIL: Xvfb did not start"; exit 1; fi

# The visible window whose title starts with the file's name, within a minute.
window_of() {
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

gio open "$work/first.gpx"
first=$(window_of first.gpx) ||
  { echo "FAIL: no window for first.gpx; running: $(pgrep -af -- "$work/" || echo nothing)"; exit 1; }
editor=$(xdotool getwindowpid "$first")
pids+=("$editor")

gio open "$work/second.gpx"
second=$(window_of second.gpx) || { echo "FAIL: no window for second.gpx"; exit 1; }
[ "$second" != "$first" ] || { echo "FAIL: the second file did not get a window of its own"; exit 1; }
owner=$(xdotool getwindowpid "$second")
[ "$owner" = "$editor" ] ||
  { echo "FAIL: the second window belongs to process $owner, the first to $editor"; exit 1; }

# From a shell: the new process hands the file over and ends with status 0.
(cd "$work" && timeout 60 wend third.gpx) || { echo "FAIL: wend third.gpx ended with $?"; exit 1; }
third=$(window_of third.gpx) || { echo "FAIL: no window for third.gpx"; exit 1; }
[ "$(xdotool getwindowpid "$third")" = "$editor" ] ||
  { echo "FAIL: third.gpx did not open in the running editor"; exit 1; }
echo "three files open as windows of process $editor"
