# Sourced by the scripts that run Windows programs: one private Wine prefix
# per build folder, no Mono/Gecko prompts, quiet, 32-bit (or 64-bit, see
# QELVO_WINBUILD below), and the settings
# that keep pixels deterministic (96 DPI, fixed fonts) applied once when
# the prefix is created.
QELVO_ROOT="${QELVO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"

# True when the kernel itself runs 32-bit programs. Some kernels have that
# switched off (ia32_emulation=off); an emulator registered for them in its
# place (qemu-user) is far too slow for Wine and does not count.
qelvo_kernel_runs_32bit() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if grep -qx enabled "$entry" 2>/dev/null &&
      grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null; then
      return 1
    fi
  done
  [ -x /usr/lib/wine/wineserver32 ] &&
    timeout 20 /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 </dev/null
}

# The Windows build the tests run: win32, the program as handed out, where
# the kernel runs 32-bit programs; otherwise win64, the same sources built
# for x86_64 and run by Wine's 64-bit loader. QELVO_WINBUILD chooses.
if [ -z "${QELVO_WINBUILD:-}" ]; then
  if qelvo_kernel_runs_32bit; then QELVO_WINBUILD=win32; else QELVO_WINBUILD=win64; fi
fi
export QELVO_WINBUILD
if [ "$QELVO_WINBUILD" = win64 ]; then
  export WINEPREFIX="${WINEPREFIX:-$QELVO_ROOT/build/wineprefix64}"
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  # wine, winepath and wineboot through the 64-bit loader.
  case ":$PATH:" in *":$QELVO_ROOT/scripts/wine64:"*) ;; *) export PATH="$QELVO_ROOT/scripts/wine64:$PATH" ;; esac
else
  export WINEPREFIX="${WINEPREFIX:-$QELVO_ROOT/build/wineprefix}"
  export WINEARCH=win32
fi
export WINEDEBUG=-all
# No HID or USB buses: the tests use none, and their driver host polls
# for devices all the time (most of a tenth of a processor per prefix).
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winebus.sys=d;wineusb.sys=d"

# Starts Xvfb on a free display when none is set (qelvo_private_display:
# two runs starting at once get a display each). Sets QELVO_XVFB_PID.
qelvo_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  qelvo_private_display || return 1
  echo "display: started Xvfb on $DISPLAY"
}

# Creates the prefix once. Later calls return at once.
# Whether the prefix was made to the end: its mark, and Wine's own
# libraries in it (a prefix made while the disk was full had the mark
# and half its libraries, and no program started in it).
qelvo_prefix_ready() {
  [ -f "$WINEPREFIX/.qelvo-ready-6" ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]
}

qelvo_ensure_prefix() {
  if qelvo_prefix_ready; then return 0; fi
  # Without Wine's own mark of an update, its setup runs again on a prefix
  # left half made.
  rm -f "$WINEPREFIX/.qelvo-ready-6" "$WINEPREFIX/.update-timestamp"
  echo "wine: creating the prefix in $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  # A server kept running for an older setup of the prefix would make the
  # waits below last for ever.
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineboot --init >/dev/null 2>&1 </dev/null || true
  wineserver -w
  local reg="$WINEPREFIX/qelvo-settings.reg"
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
"FontSmoothing"="0"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
REG
  wine regedit /S "$reg" >/dev/null 2>&1 || true
  # Debian's 32-bit Wine does not look in its own data folder for fonts, so
  # Marlett (caption buttons, check marks) and Tahoma would fall back to
  # DejaVu. Put the fonts-wine faces into the prefix's Fonts folder.
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # Wine's Tahoma has no Greek and no face here has Chinese: link DejaVu
  # Sans and WenQuanYi Micro Hei behind the dialog, menu and default faces,
  # as Windows links its own fonts, so mixed-script text shows whole.
  local face
  for face in "Tahoma" "Tahoma Bold" "MS Sans Serif" "Microsoft Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
      >/dev/null 2>&1 </dev/null || true
  done
  # Edits shape text with Uniscribe, which falls back to Windows' own
  # Chinese faces by name.
  for face in "SimSun" "NSimSun" "Microsoft YaHei" "Microsoft JhengHei" "MingLiU" "PMingLiU" "MS Song"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d 'WenQuanYi Micro Hei' /f \
      >/dev/null 2>&1 </dev/null || true
  done
  wineserver -w
  if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    echo "wine: the prefix in $WINEPREFIX could not be made (is the disk full?)" >&2
    return 1
  fi
  touch "$WINEPREFIX/.qelvo-ready-6"
}

# Starts the wineserver and Wine's background services with every standard
# stream detached. Otherwise the services inherit the caller's pipes and a
# test runner waiting for end of output waits for ever. The server stays
# up for ever, or, given SECONDS, ends that long after the last program
# (the background services end first).
qelvo_warm_wine() {
  wineserver "-p${1:-}" >/dev/null 2>&1 </dev/null || true
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# ---- A run of the Windows tests (scripts/test, scripts/soak)
# One display (a private Xvfb when none is set), the prepared prefix, a
# wineserver that stays up for the whole run and an idle program that
# keeps Wine's desktop process up: otherwise the desktop ends with the last
# Windows program and starts again with the next, holding that program's
# output open, and test programs side by side would seem to run until the
# others end.
qelvo_begin_test_session() {
  qelvo_ensure_display
  qelvo_ensure_prefix
  qelvo_start_wine
}

# On the prefix and display set: the server, the services, the prepared
# settings and the idle program that keeps the desktop process up.
qelvo_start_wine() {
  qelvo_warm_wine
  # A scenario that changes a setting of the display (its dots per inch)
  # puts it back when it ends; one killed at its time limit cannot. Every
  # run starts from the prepared settings again.
  wine regedit /S "$WINEPREFIX/qelvo-settings.reg" >/dev/null 2>&1 </dev/null || true
  wine "$QELVO_ROOT/build/$QELVO_WINBUILD/tests/wintool.exe" hold 0 >/dev/null 2>&1 </dev/null &
}

# Ends what qelvo_begin_test_session started, and what a slot whose entry
# was killed left running.
qelvo_end_test_session() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null
  qelvo_stop_slots
  return 0
}

# The processors this process may use: nproc heeds taskset; a container's
# CPU quota, which nproc does not see, counts too.
qelvo_processors() {
  local n quota period
  n="$(nproc)"
  if read -r quota period 2>/dev/null </sys/fs/cgroup/cpu.max && [ "$quota" != max ] && [ "${period:-0}" -gt 0 ]; then
    quota=$(((quota + period - 1) / period))
    [ "$quota" -lt "$n" ] && n=$quota
  fi
  [ "$n" -lt 1 ] && n=1
  echo "$n"
}

# How many Windows test entries run side by side: one per processor, at
# most 4 (the theme sweep's shards keep a processor busy each).
qelvo_test_jobs() {
  local n
  n="$(qelvo_processors)"
  echo $((n > 4 ? 4 : n))
}

# How many end-to-end entries run side by side: two per processor, at most
# 4. A scenario mostly waits on the program it drives, each in a slot of
# its own; four on two processors passed as they do on eight and took
# two thirds of the time two did. Every step's wait has a bound, so no
# more than that: more programs still would stretch the waits.
qelvo_e2e_jobs() {
  local n
  n="$(qelvo_processors)"
  n=$((2 * n))
  echo $((n > 4 ? 4 : n))
}

# ---- Slots: a display and a Wine prefix of an entry's own
# An entry with QELVO_SLOT set (the end-to-end suite's) runs in a slot
# (scripts/wine-exec): an Xvfb of its own and a fresh copy of the prepared
# prefix with its own wineserver, services and desktop. Programs in
# different slots share no focus, foreground window, capture, cursor,
# clipboard or registry, so such entries run side by side, and beside the
# entries on the run's shared display. Slot K lives in
# $WINEPREFIX-slots/K (K.lock held while an entry uses it); the slot ends
# with its entry.

QELVO_SLOTS_DIR="$WINEPREFIX-slots"

# Starts an Xvfb on the first free display above 100. Sets DISPLAY and
# QELVO_XVFB_PID. Two callers racing for one number are sorted out by the
# server itself: the one whose lock file names its own process has it.
qelvo_private_display() {
  local n pid i
  for ((n = 101; n < 200; n++)); do
    # A number whose server still runs is taken; the server clears a lock
    # that a killed one left.
    pid="$(cat "/tmp/.X$n-lock" 2>/dev/null | tr -d ' \n')"
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 8>&- 9>&- &
    pid=$!
    for ((i = 0; i < 200; i++)); do
      kill -0 "$pid" 2>/dev/null || break
      if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(cat "/tmp/.X$n-lock" 2>/dev/null | tr -d ' \n')" = "$pid" ]; then
        export DISPLAY=":$n"
        QELVO_XVFB_PID=$pid
        return 0
      fi
      sleep 0.05
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  echo "display: no free display among :101 to :199" >&2
  return 1
}

# Makes the prepared prefix unless it is ready (on a display of its own,
# which it needs only meanwhile); one caller at a time.
qelvo_prepare_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    exec 9>"$WINEPREFIX.lock"
    flock 9
    qelvo_prefix_ready && exit 0
    unset DISPLAY
    qelvo_private_display 9>&- || exit 1
    qelvo_ensure_prefix 9>&-
    kill "$QELVO_XVFB_PID" 2>/dev/null
    qelvo_prefix_ready
  )
}

# Takes the first free slot (its lock on file descriptor 8, for as long as
# the caller runs) and brings it up: a fresh copy of the prepared prefix,
# a display, the server and services. WINEPREFIX and DISPLAY are the
# slot's then; QELVO_SLOT_DIR names it. The prepared prefix must be ready.
qelvo_take_slot() {
  local base="$WINEPREFIX" k copy
  mkdir -p "$QELVO_SLOTS_DIR"
  for ((k = 0; ; k++)); do
    exec 8>"$QELVO_SLOTS_DIR/$k.lock"
    flock -n 8 && break
    exec 8>&-
  done
  copy="$QELVO_SLOTS_DIR/$k"
  QELVO_SLOT_DIR="$copy"
  # What an entry killed at its time limit left running.
  qelvo_slot_down "$copy"
  rm -rf "$copy"
  # The libraries and fonts (most of the prefix's 700 MB) are shared as
  # hard links: Wine only reads them. Every other file (the registry, the
  # ini files) is a copy of the slot's own.
  cp -al "$base" "$copy" || return 1
  find "$copy" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' ! -iname '*.ocx' \
    ! -iname '*.cpl' ! -iname '*.acm' ! -iname '*.tlb' ! -iname '*.nls' ! -iname '*.tt[fc]' ! -iname '*.fon' \
    -print0 | while IFS= read -r -d '' f; do cp -p "$f" "$f.slot" && mv -f "$f.slot" "$f"; done
  export WINEPREFIX="$copy"
  unset DISPLAY
  qelvo_private_display || return 1
  echo "$QELVO_XVFB_PID" >"$copy.xvfb"
  qelvo_start_wine 8>&- 9>&-
}

# Ends what runs in the slot whose folder is Copy (its lock held).
qelvo_slot_down() {
  local copy="$1" pid
  [ -d "$copy" ] && WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1 </dev/null 8>&- 9>&-
  pid="$(cat "$copy.xvfb" 2>/dev/null)"
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -f "$copy.xvfb"
  return 0
}

# Ends what runs in every slot no entry uses now.
qelvo_stop_slots() {
  local lock
  for lock in "$QELVO_SLOTS_DIR"/*.lock; do
    [ -e "$lock" ] || continue
    (
      exec 8>"$lock"
      flock -n 8 && qelvo_slot_down "${lock%.lock}"
    )
  done
  return 0
}
