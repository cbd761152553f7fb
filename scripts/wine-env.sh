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

# Starts Xvfb on a free display when none is set. Sets QELVO_XVFB_PID.
qelvo_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QELVO_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  echo "display: started Xvfb on $DISPLAY"
}

# Creates the prefix once. Later calls return at once.
qelvo_ensure_prefix() {
  if [ -f "$WINEPREFIX/.qelvo-ready-6" ]; then return 0; fi
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
  qelvo_warm_wine
  # A scenario that changes a setting of the display (its dots per inch)
  # puts it back when it ends; one killed at its time limit cannot. Every
  # run starts from the prepared settings again.
  wine regedit /S "$WINEPREFIX/qelvo-settings.reg" >/dev/null 2>&1 </dev/null || true
  wine "$QELVO_ROOT/build/$QELVO_WINBUILD/tests/wintool.exe" hold 0 >/dev/null 2>&1 </dev/null &
}

# Ends what qelvo_begin_test_session started.
qelvo_end_test_session() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null
  return 0
}
