#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Xvfb.
# Usage: screenshots.sh PROGRAM OUTDIR
set -uo pipefail

program=$(readlink -f "$1")
out=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
# shellcheck source=../tests/e2e/xsession.sh
source "$(dirname "$0")/../tests/e2e/xsession.sh"
trap 'close_display; rm -rf "$work"' EXIT

scenario shots
cat >"$dir/lettre.txt" <<'TEXT'
Chère Anne,

Le chat du voisin est revenu ce matin, fier comme un roi.
Il a traversé le jardin, s'est assis sur le muret et m'a regardé
écrire cette lettre pendant une bonne heure.

Je t'embrasse,
Paul
TEXT
start "$dir" "$dir/lettre.txt" >/dev/null
win=$(wait_window "lettre.txt - Qorvik Note Pad") || exit 1
xdotool windowmove --sync "$win" 20 40 windowsize --sync "$win" 620 360
xdotool windowactivate --sync "$win"
sleep 0.5

# Main window with the Edition menu open, a word selected.
xdotool key ctrl+Home Down Down Right Right Right ctrl+shift+Right
xdotool key alt+e
sleep 0.6
import -window root -crop 680x460+0+0 "$out/main-menu.png"
xdotool key Escape
sleep 0.3

dialog_shot() { # title, file
  local id
  id=$(wait_window "$1") || return 1
  sleep 0.6
  import -frame -window "$id" "$out/$2"
}

xdotool key ctrl+f
sleep 0.3
xdotool type --delay 30 "chat"
dialog_shot "Rechercher" search.png
xdotool windowactivate --sync "$win" key ctrl+h
sleep 0.3
xdotool key Tab type --delay 30 "chien"
dialog_shot "Remplacer" replace.png
xdotool key Escape
sleep 0.3

xdotool windowactivate --sync "$win" key alt+o Return
dialog_shot "Préférences" preferences.png
xdotool key Escape
sleep 0.3

xdotool windowactivate --sync "$win" key alt+question Return
dialog_shot " A propos de Qorvik Note Pad 1.2" about.png
xdotool key alt+o
ls "$out"
