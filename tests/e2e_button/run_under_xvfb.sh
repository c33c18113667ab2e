#!/usr/bin/env bash
# End-to-end run of the Windows build's installer window with a real pointer:
# Xvfb, Wine's X11 driver, xdotool for the pointer and the keyboard, and
# ImageMagick screenshots of the whole screen, written to OUT_DIR:
#   1-before.png   the window as shown (OK focused)
#   2-hover.png    the pointer over OK: its hover look
#   3-away.png     the pointer moved away again
#   4-closed.png   after Enter: the window is gone
# Checks the OK button's border pixel (exact: the body colour darkened by the
# form's BorderBrightness) and that the body brightens under the pointer.
#
#   run_under_xvfb.sh WINE_RUN SHOW_EXE OUT_DIR
set -u
wine_run=$1 exe=$2 out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/log.txt

if [ -z "${INSIDE_XVFB:-}" ]; then
  # A Wine cache of its own: its server is started inside this X session and
  # must not serve other tests after it.
  export VORELA_WINE_CACHE="$out/wine"
  INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
  rc=$?
  for p in "$VORELA_WINE_CACHE"/slot* "$VORELA_WINE_CACHE"/template; do
    [ -d "$p" ] && WINEPREFIX="$p" wineserver -k </dev/null >/dev/null 2>&1
  done
  exit $rc
fi

fail() { echo "FAIL: $*" | tee -a "$out/log.txt"; exit 1; }
pixel() {  # file x y -> "r,g,b"
  convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
brightness() { IFS=, read -r r g b <<<"$1"; echo $((r + g + b)); }

VORELA_WINE_FRESH=1 "$wine_run" "$exe" >"$out/program.txt" 2>&1 </dev/null &
program=$!
for _ in $(seq 1 600); do
  grep -q '^ok ' "$out/program.txt" 2>/dev/null && break
  kill -0 $program 2>/dev/null || break
  sleep 0.2
done
read -r _ x y w h < <(grep "^ok " "$out/program.txt" | tr -d "\r")
[ -n "${h:-}" ] || fail "the window did not show its OK button: $(cat "$out/program.txt")"
[ "$x" != not ] || fail "the window did not show its OK button"
echo "OK button at $x,$y size ${w}x$h" >>"$out/log.txt"
cx=$((x + w / 2)) cy=$((y + h / 2))
border_x=$((x + 1)) border_y=$((y + h / 2))
body_x=$((x + w / 4)) body_y=$((y + h / 2))

xdotool mousemove 5 5
sleep 1.5
import -window root "$out/1-before.png"
xdotool mousemove $cx $cy
sleep 0.3
xdotool mousemove $((cx + 2)) $cy
sleep 1.5
import -window root "$out/2-hover.png"
xdotool mousemove 900 700
sleep 1.5
import -window root "$out/3-away.png"
xdotool key Return
for _ in $(seq 1 100); do
  kill -0 $program 2>/dev/null || break
  sleep 0.1
done
sleep 0.5
import -window root "$out/4-closed.png"
kill -0 $program 2>/dev/null && { kill $program; fail "Enter did not close the window"; }
tr -d '\r' <"$out/program.txt" | grep -q '^closed' || fail "the program did not end normally"

before=$(pixel "$out/1-before.png" $border_x $border_y)
hover=$(pixel "$out/2-hover.png" $border_x $border_y)
away=$(pixel "$out/3-away.png" $border_x $border_y)
body_before=$(pixel "$out/1-before.png" $body_x $body_y)
body_hover=$(pixel "$out/2-hover.png" $body_x $body_y)
body_away=$(pixel "$out/3-away.png" $body_x $body_y)
centre_hover=$(pixel "$out/2-hover.png" $cx $cy)
closed=$(pixel "$out/4-closed.png" $border_x $border_y)
{
  echo "border pixel: before $before, hover $hover, away $away, closed $closed"
  echo "body pixel: before $body_before, hover $body_hover, away $body_away"
  echo "centre pixel under the pointer: $centre_hover"
} >>"$out/log.txt"
# Scheme 1 with BorderBrightness -20: up (32,103,208) -> 26,83,167; hover
# (80,153,233) -> 64,123,187.
[ "$before" = "26,83,167" ] || fail "border before: $before"
[ "$hover" = "64,123,187" ] || fail "border under the pointer: $hover"
[ "$away" = "26,83,167" ] || fail "border after moving away: $away"
[ "$(brightness "$body_hover")" -gt "$(brightness "$body_before")" ] ||
  fail "the body did not brighten under the pointer"
[ "$body_away" = "$body_before" ] || fail "the body did not return: $body_away"
[ "$closed" != "$before" ] || fail "the window is still on the screen"
echo "PASS" | tee -a "$out/log.txt"
