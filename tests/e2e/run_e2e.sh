#!/usr/bin/env bash
# The real program in a real window, driven from outside as a user would:
# keys and clicks with xdotool, window titles, files on disk, the clipboard.
# Usage: run_e2e.sh PROGRAM
set -uo pipefail

program=$(readlink -f "$1")
for tool in Xvfb openbox xdotool xprop xclip; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
# shellcheck source=xsession.sh
source "$(dirname "$0")/xsession.sh"

passed=0
failed=0
cleanup() {
  close_display
  [ -n "${KEEP_E2E:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

check() { # name, condition result (0 ok)
  if [ "$2" -eq 0 ]; then echo "PASS   : $1"; passed=$((passed + 1))
  else echo "FAIL!  : $1 ${3:-}"; failed=$((failed + 1)); fi
}

# 1. A file named on the command line: its name in the caption.
scenario caption
printf 'Bonjour\r\n' >"$dir/mon fichier.txt"
pid=$(start "$dir" "$dir/mon fichier.txt")
win=$(wait_window "mon fichier.txt - Qorvik Note Pad")
check "caption of a file from the command line" $?
pkill -f "$dir/qorvik-notepad"

# 2. Type, then Escape: the text is in the quick-save file and the program ends.
scenario quick
pid=$(start "$dir")
win=$(wait_window "Sans titre.txt - Qorvik Note Pad")
xdotool windowactivate --sync "$win" type --delay 20 "Texte sauve vite"
sleep 0.5
xdotool key --window "$win" Escape
wait_exit "$pid"
check "Escape ends the program" $?
[ "$(cat "$dir/Quick.txt" 2>/dev/null)" = "Texte sauve vite" ]
check "Escape wrote the quick-save file" $? "($(cat "$dir/Quick.txt" 2>/dev/null))"

# 3. Type, close by the window manager, answer "Non": no document saved, the
# settings file written with the window's placement.
scenario close
pid=$(start "$dir")
win=$(wait_window "Sans titre.txt - Qorvik Note Pad")
xdotool windowactivate --sync "$win" type --delay 20 "brouillon"
sleep 0.5
xdotool key alt+F4
question=$(wait_window "Qorvik Note Pad")
check "closing a modified text asks" $?
xdotool windowactivate --sync "$question" key alt+n
wait_exit "$pid"
check "Non closes the program" $?
ini="$dir/Qorvik Note pad.ini"
lines=$(tr -d '\r' <"$ini" 2>/dev/null | wc -l)
[ "$lines" -eq 17 ] && [ "$(sed -n 2p "$ini" | tr -d '\r')" = " 0 " ] \
  && [ "$(sed -n 5p "$ini" | tr -d '\r ')" -gt 0 ]
check "settings written with the placement" $? "($(tr '\r\n' '| ' <"$ini" 2>/dev/null))"
[ ! -e "$dir/Sans titre.txt" ]
check "the text was not saved" $?

# 4. Search: Ctrl+F, a word, the access key of "&Suivant": the hit is
# selected (read back with Ctrl+C).
scenario search
printf 'un chat noir\nune souris grise\n' >"$dir/animaux.txt"
pid=$(start "$dir" "$dir/animaux.txt")
win=$(wait_window "animaux.txt - Qorvik Note Pad")
xdotool windowactivate --sync "$win" key ctrl+f
dialog=$(wait_window "Rechercher")
check "Ctrl+F opens the search dialog" $?
if [ -n "$dialog" ]; then
  xdotool type --delay 20 "souris"
  xdotool key alt+s
  sleep 0.5
  xdotool windowactivate --sync "$win" key ctrl+c
  sleep 0.3
  [ "$(xclip -o -selection clipboard 2>/dev/null)" = "souris" ]
  check "Suivant selects the hit" $? "($(xclip -o -selection clipboard 2>/dev/null))"
fi
pkill -f "$dir/qorvik-notepad"

# 5. A prepared settings file: maximized window, the saved font, translucent
# at opacity 128 and above other windows.
text_width() { # window id: width in pixels of the dark text in the window
  import -window "$1" "$work/shot.png" 2>/dev/null
  # Below the menu bar, inside the frame.
  convert "$work/shot.png" -crop 500x200+3+22 +repage -threshold 50% -negate -trim \
    -format '%w' info: 2>/dev/null
}
scenario plain
pid=$(start "$dir")
win=$(wait_window "Sans titre.txt - Qorvik Note Pad")
xdotool windowactivate --sync "$win" type --delay 10 "WWWWWWWWWW"
sleep 0.3
plain=$(text_width "$win")
pkill -f "$dir/qorvik-notepad"

scenario prepared
printf 'True\r\n 2 \r\n 1500 \r\n 1500 \r\n 7500 \r\n 6000 \r\n-2147483640 \r\n-2147483643 \r\nTrue\r\n 128 \r\nTrue\r\nDejaVu Sans Mono\r\n 20 \r\nTrue\r\nFalse\r\n*.txt\r\n/tmp\r\n' \
  >"$dir/Qorvik Note pad.ini"
pid=$(start "$dir")
win=$(wait_window "Sans titre.txt - Qorvik Note Pad")
sleep 0.5
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ
check "prepared settings: maximized" $? "($(xprop -id "$win" _NET_WM_STATE))"
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE
check "prepared settings: above other windows" $? "($(xprop -id "$win" _NET_WM_STATE))"
# 128/255 of the full 32-bit opacity: 0x80808080.
xprop -id "$win" _NET_WM_WINDOW_OPACITY | grep -q '= 2155905152$'
check "prepared settings: translucent at 128" $? "($(xprop -id "$win" _NET_WM_WINDOW_OPACITY))"
xdotool windowactivate --sync "$win" type --delay 10 "WWWWWWWWWW"
sleep 0.3
big=$(text_width "$win")
[ -n "$plain" ] && [ -n "$big" ] && [ $((big * 10)) -gt $((plain * 15)) ]
check "prepared settings: the saved font size" $? "(10 pt: $plain px, 20 pt bold: $big px)"
pkill -f "$dir/qorvik-notepad"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
