#!/usr/bin/env bash
# kestrel.exe under Wine on a virtual screen, driven by kestrel_ui_driver.exe; then the world
# file it wrote is checked with GDAL on this side.
# Use: run_ui_test.sh PREFIX DRIVER PROGRAM RECORDER GEOTIFF OUTPUT SCREEN_TESTS
# SCREEN_TESTS, a GoogleTest program that runs the dialog in its own process, runs on the same
# screen afterwards.
# OUTPUT gets the driver's report (driver.xml) and the screenshots the driver asks for:
# kestrel-window.png (the dialog with both sides filled in) and message-box.png (an error box).
# The program works in a short temporary folder, so that the messages show its paths whole.
set -uo pipefail
[ $# -eq 7 ] || { echo "usage: run_ui_test.sh PREFIX DRIVER PROGRAM RECORDER GEOTIFF OUTPUT SCREEN_TESTS" >&2; exit 2; }
prefix=$1 driver=$2 program=$3 recorder=$4 geotiff=$5 output=$6 screen_tests=$7
wine_run=$(cd "$(dirname "$0")/../../.." && pwd)/scripts/wine-run
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

# Wine sees this machine's files on drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

rm -rf "$output"
mkdir -p "$output"
work=$(mktemp -d /tmp/kestrel-ui.XXXXXX) || exit 1
{ cp "$geotiff" "$work/sheet.tif" && cp "$geotiff" "$work/地図 карта.tif" &&
    printf 'This is not a TIFF file.\n' >"$work/notatiff.tif"; } || { rm -rf "$work"; exit 1; }

# A screen of its own: the first free display from 100 on.
display=100
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$output/xvfb.log" 2>&1 &
xvfb=$!
watcher=
cleanup() {
    [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
    # The program's Wine server and its helpers hold the screen until they are stopped.
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
    WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.05
done
[ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start" >&2; cat "$output/xvfb.log" >&2; exit 1; }

# Wine's own fonts in the prefix, so that the dialogs are laid out in their fonts' metrics,
# and a Wine server of this run's own, started by the driver, which knows this screen.
[ -f "$prefix/system.reg" ] || "$wine_run" "$prefix" cmd /c exit 0 >/dev/null 2>&1
WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null
fonts=$prefix/drive_c/windows/Fonts
for font in sserife.fon tahoma.ttf tahomabd.ttf marlett.ttf; do
    [ -e "$fonts/$font" ] || cp "/usr/share/wine/fonts/$font" "$fonts/"
done

# Screenshots when the driver asks: NAME.ready holds the window's rectangle on the screen.
shoot() {
    local ready name
    while :; do
        for ready in "$output"/*.ready; do
            [ -e "$ready" ] || continue
            name=$(basename "$ready" .ready)
            read -r x y width height <"$ready" || true
            if [ -n "${height:-}" ]; then
                xwd -root -silent -display ":$display" | xwdtopnm 2>/dev/null |
                    pnmcut -left "$x" -top "$y" -width "$width" -height "$height" 2>/dev/null |
                    pnmtopng >"$output/$name.png" 2>/dev/null
            fi
            rm -f "$ready"
            touch "$output/$name.done"
        done
        sleep 0.05
    done
}
shoot &
watcher=$!

DISPLAY=:$display \
KESTREL_UI_PROGRAM=$(windows_path "$program") \
KESTREL_UI_FOLDER=$(windows_path "$work") \
KESTREL_UI_SHOTS=$(windows_path "$output") \
KESTREL_UI_RECORDER=$(windows_path "$recorder") \
    "$wine_run" "$prefix" "$driver" --gtest_output="xml:$(windows_path "$output")\\driver.xml"
status=$?
DISPLAY=:$display "$wine_run" "$prefix" "$screen_tests" \
    --gtest_output="xml:$(windows_path "$output")\\screen.xml" || status=1

# What GDAL reads from the world file written through the dialog must place the image where
# the GeoTIFF's own tags do: 10 m pixels, upper-left corner at (500000, 4000480).
/usr/bin/python3 - "$work/sheet.tif" <<'PYTHON' || status=1
import sys
from osgeo import gdal

gdal.UseExceptions()
tiff = sys.argv[1]
world = tiff[:-4] + ".tfw"
lines = open(world, "rb").read().split(b"\r\n")
if len(lines) != 7 or lines[-1] != b"" or any(b"\n" in line for line in lines):
    sys.exit(f"{world}: not six lines, each ended by CR LF: {lines!r}")
placements = {}
for source in ("INTERNAL", "WORLDFILE"):
    gdal.SetConfigOption("GDAL_GEOREF_SOURCES", source)
    placements[source] = gdal.Open(tiff).GetGeoTransform()
expected = (500000.0, 10.0, 0.0, 4000480.0, 0.0, -10.0)
for source, placement in placements.items():
    if placement != expected:
        sys.exit(f"{tiff}: GDAL reads {placement} from {source}, expected {expected}")
print(f"GDAL reads {world}: {placements['WORLDFILE']}, as the GeoTIFF's own tags")
PYTHON

# Both pictures are kept; each must show a painted window, not a black or empty rectangle.
for shot in kestrel-window message-box; do
    colours=$(pngtopnm "$output/$shot.png" 2>/dev/null | ppmhist -noheader 2>/dev/null | wc -l)
    if [ "$colours" -lt 8 ]; then
        echo "$shot.png shows no painted window ($colours colours)" >&2
        status=1
    fi
done
exit $status
