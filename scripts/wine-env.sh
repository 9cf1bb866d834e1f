# Wine prefix and virtual display helpers. Source after common.sh.
#
# One pristine prefix is booted once per Wine version (wineboot costs 10-40 s) and
# cloned for every run: its DLLs are hard links, everything Wine may rewrite in place
# (the registry files, users, the stamp) is copied. Each clone gets its own wineserver,
# so parallel runs never see each other's windows or broadcasts.

: "${ORVANTA_WINE_CACHE:=$ORVANTA_ROOT/build/wine}"

export WINEDEBUG=-all
# No Mono/Gecko install prompts, no desktop menu entries written into $HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_version() { wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' '_'; }

# Prints the pristine prefix, booting it first when missing.
wine_pristine_prefix() {
  local dir="$ORVANTA_WINE_CACHE/pristine-$(wine_version)"
  mkdir -p "$ORVANTA_WINE_CACHE"
  (
    # Parallel runs: the first one boots, the others wait for it.
    flock 9
    if [ ! -f "$dir/.orvanta-ready" ]; then
      rm -rf "$dir"
      note "booting a pristine Wine prefix in $dir (once)"
      WINEPREFIX="$dir" wineboot -i >/dev/null 2>&1 </dev/null || die "wineboot failed"
      # Without a window manager on Xvfb a managed window that hides waits ~2 s for
      # an answer that never comes.
      WINEPREFIX="$dir" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1 </dev/null || die "could not set Managed=N"
      WINEPREFIX="$dir" wineserver -w
      touch "$dir/.orvanta-ready"
    fi
  ) 9>"$ORVANTA_WINE_CACHE/.lock" || exit 1
  printf '%s\n' "$dir"
}

# Makes a fresh prefix from the pristine one in a new directory and prints it.
wine_clone_prefix() {
  local pristine dir
  pristine=$(wine_pristine_prefix) || exit 1
  mkdir -p "$ORVANTA_WINE_CACHE/runs"
  # Clones of runs that were killed outright; no run lasts an hour.
  find "$ORVANTA_WINE_CACHE/runs" -mindepth 1 -maxdepth 1 -mmin +60 -exec rm -rf {} + 2>/dev/null || true
  dir=$(mktemp -d "$ORVANTA_WINE_CACHE/runs/prefix.XXXXXX")
  # Hard links for the windows folder (DLLs Wine only reads), real copies of the rest.
  local entry
  for entry in "$pristine"/* "$pristine"/.[!.]*; do
    [ -e "$entry" ] || continue
    [ "${entry##*/}" = drive_c ] || cp -a "$entry" "$dir"/
  done
  mkdir "$dir/drive_c"
  for entry in "$pristine"/drive_c/*; do
    if [ "${entry##*/}" = windows ]; then
      cp -al "$entry" "$dir/drive_c/"
    else
      cp -a "$entry" "$dir/drive_c/"
    fi
  done
  rm -f "$dir/.orvanta-ready"
  printf '%s\n' "$dir"
}

# Ends every process of a prefix (ours only: the prefix is private to this run).
wine_stop_prefix() {
  local dir=$1
  [ -d "$dir" ] || return 0
  WINEPREFIX="$dir" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$dir" wineserver -w >/dev/null 2>&1 || true
}

# Starts Xvfb on a free display when no display is set, or always with "own";
# exports DISPLAY and ORVANTA_XVFB_PID. xvfb_stop undoes it. Tests that run side
# by side each take a display of their own: they read pixels off the screen and
# must not see each other's windows.
ORVANTA_XVFB_PID=""
xvfb_start() {
  [ -n "${DISPLAY:-}" ] && [ "${1:-}" != own ] && return 0
  local numfile i
  numfile=$(mktemp)
  # -displayfd: Xvfb picks a free display and names it once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$numfile" >/dev/null 2>&1 </dev/null &
  ORVANTA_XVFB_PID=$!
  for i in $(seq 100); do
    [ -s "$numfile" ] && break
    kill -0 "$ORVANTA_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    xvfb_stop
    die "Xvfb did not start"
  fi
  export DISPLAY=":$(head -n1 "$numfile" | tr -dc 0-9)"
  rm -f "$numfile"
}

xvfb_stop() {
  [ -n "$ORVANTA_XVFB_PID" ] || return 0
  kill "$ORVANTA_XVFB_PID" 2>/dev/null || true
  wait "$ORVANTA_XVFB_PID" 2>/dev/null || true
  ORVANTA_XVFB_PID=""
}
