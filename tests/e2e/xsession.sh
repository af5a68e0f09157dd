# Shared by the end-to-end checks and the screenshots: an X display with a
# window manager, a portable copy of the program, and waits on its windows.
# The caller sets $work (a scratch folder) and $program before sourcing.

unset QT_QPA_PLATFORM
export LC_ALL=C.UTF-8

# Each scenario gets a display and a window manager of its own, so that
# nothing one program leaves behind (focus, grabs, clipboard) reaches the next.
xvfb=""
wm=""
open_display() {
  close_display
  rm -f "$work/display"
  Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" \
    >>"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
  openbox >>"$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
}
close_display() {
  pkill -f "$work/.*/qorvik-notepad" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  wm=""
  xvfb=""
}

# A portable copy of its own for each scenario: settings and quick-save
# files land beside it.
scenario() {
  open_display
  dir="$work/$1"
  mkdir -p "$dir"
  cp "$program" "$dir/qorvik-notepad"
}

# Waits for a window whose title is exactly $1; prints its id.
wait_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window \"$1\" among:" >&2
  for w in $(xdotool search --name . 2>/dev/null); do
    echo "  $w $(xdotool getwindowname "$w" 2>/dev/null)" >&2
  done
  return 1
}

wait_exit() { # pid
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

start() { # dir, args...
  local dir=$1; shift
  (cd "$dir" && "$dir/qorvik-notepad" "$@" >"$dir/stdout.log" 2>&1; echo $? >"$dir/exit-code") \
    >/dev/null 2>&1 &
  echo $!
}

