#!/usr/bin/env bash
# Builds the Wine prefix template that every run copies: virtual desktop, the fonts
# Debian ships for Wine, silent audio, and a browser hook that tests can point elsewhere.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
template="$top/.cache/wine-template"
stamp="$template/.ready-3"
[ -f "$stamp" ] && exit 0

wine=/usr/lib/wine/wine64
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
rm -rf "$template"
"$wine" wineboot -i >/dev/null 2>&1
reg() { "$wine" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Explorer' Desktop Default
reg 'HKCU\Software\Wine\Explorer\Desktops' Default 1366x768
reg 'HKCU\Software\Wine\Drivers' Audio ''
/usr/lib/wine/wineserver -w
cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/"
touch "$stamp"
echo "Wine prefix template ready in $template"
