# shellcheck shell=bash
# Shared helpers of the scripts in this folder; source it, do not run it.
#
# Everything a script starts in the background is registered with on_exit, and the EXIT trap set
# here stops it again, newest first, however the script ends.

PELLORAM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PELLORAM_WINEPREFIX="${PELLORAM_WINEPREFIX:-$PELLORAM_ROOT/build/wine}"
PELLORAM_WINDOWS_BUILD="${PELLORAM_WINDOWS_BUILD:-$PELLORAM_ROOT/build/windows}"
export PELLORAM_WINEPREFIX

log() { printf '%s: %s\n' "$(basename "$0")" "$*" >&2; }
die() {
  log "ERROR: $*"
  exit 1
}

# ---- clean-up on exit

_on_exit_commands=()
on_exit() { _on_exit_commands+=("$*"); }
_run_on_exit() {
  local i
  for ((i = ${#_on_exit_commands[@]} - 1; i >= 0; i--)); do
    eval "${_on_exit_commands[i]}" || true
  done
  _on_exit_commands=()
}
trap _run_on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---- packages

# Debian packages that are not installed yet, of those given.
missing_packages() {
  local p
  for p in "$@"; do
    [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null)" == ii* ]] || printf '%s\n' "$p"
  done
}

as_root() {
  if [[ $EUID -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo --non-interactive "$@"
  else
    die "needs root for: $*"
  fi
}

# ---- building

build_windows() {
  log "building the windows preset"
  (cd "$PELLORAM_ROOT" &&
    timeout 900 cmake --preset windows -B "$PELLORAM_WINDOWS_BUILD" >/dev/null &&
    timeout 1800 cmake --build "$PELLORAM_WINDOWS_BUILD" -j2 >"$PELLORAM_ROOT/build/windows-build.log" 2>&1) || {
    tail -n 40 "$PELLORAM_ROOT/build/windows-build.log" >&2
    die "the windows build failed (log: build/windows-build.log)"
  }
}

# ---- display and Wine

# Uses $DISPLAY when set; otherwise starts Xvfb on a free display and stops it on exit.
ensure_display() {
  [[ -n "${DISPLAY:-}" ]] && return 0
  local fifo number pid
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  pid=$!
  on_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null"
  # Keep the pipe open until Xvfb has written the whole line, or it dies on the newline.
  read -r -t 30 number <"$fifo" || true
  rm -f "$fifo"
  [[ -n "$number" ]] || die "Xvfb did not start"
  export DISPLAY=":$number"
  wait_until 30 "display $DISPLAY" xdpyinfo
  log "started Xvfb on $DISPLAY"
}

wine_env() {
  export WINEPREFIX="$PELLORAM_WINEPREFIX"
  export WINEDEBUG="${PELLORAM_WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=C.UTF-8
}

init_wine_prefix() {
  python3 "$PELLORAM_ROOT/tests/e2e/harness.py" init-prefix "$PELLORAM_WINEPREFIX"
}

# Stops every Wine process of our prefix on exit (register once, after the first start).
stop_wine_on_exit() {
  on_exit "WINEPREFIX='$PELLORAM_WINEPREFIX' wineserver -k 2>/dev/null; WINEPREFIX='$PELLORAM_WINEPREFIX' timeout 30 wineserver -w"
}

# ---- waiting

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || die "timed out after ${seconds} s waiting for $what"
    sleep 0.2
  done
}
