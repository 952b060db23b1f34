#!/bin/sh
# Makes the Wine prefix of this build tree (WINEPREFIX, HOME set by CTest):
# created once, then reused. "ＭＳ Ｐゴシック" is drawn with the IPA face of the same
# proportions.
set -eu
mkdir -p "$HOME" "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/.mirunea-ready" ]; then
  /usr/bin/wine wineboot --init
  /usr/bin/wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null
  touch "$WINEPREFIX/.mirunea-ready"
fi
# The behaviour suite's windows are Wine's own, as on Windows, not left to a
# window manager the private X server lacks: Wine would wait 2 s for one at
# every window's end.
if [ ! -f "$WINEPREFIX/.mirunea-behaviour-ready" ]; then
  /usr/bin/wine reg add 'HKCU\Software\Wine\AppDefaults\tst_window_behaviour.exe\X11 Driver' \
    /v Managed /t REG_SZ /d N /f >/dev/null
  touch "$WINEPREFIX/.mirunea-behaviour-ready"
fi
# The same for the small-screen test, which closes a message box and hides
# tooltips on the way.
if [ ! -f "$WINEPREFIX/.mirunea-small-screen-ready" ]; then
  /usr/bin/wine reg add 'HKCU\Software\Wine\AppDefaults\tst_win32_small_screen.exe\X11 Driver' \
    /v Managed /t REG_SZ /d N /f >/dev/null
  touch "$WINEPREFIX/.mirunea-small-screen-ready"
fi
