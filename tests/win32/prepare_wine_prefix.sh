#!/bin/sh
# Makes the Wine prefix of this build tree (WINEPREFIX, HOME set by CTest):
# created once, then reused. "ＭＳ Ｐゴシック" is drawn with the IPA face of the same
# proportions.
set -eu
mkdir -p "$HOME" "$WINEPREFIX"
if [ -f "$WINEPREFIX/.mirunea-ready" ]; then
  exit 0
fi
/usr/bin/wine wineboot --init
/usr/bin/wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
  /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null
touch "$WINEPREFIX/.mirunea-ready"
