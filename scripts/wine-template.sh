#!/usr/bin/env bash
# Builds the Wine prefix template that every run copies: virtual desktop, the fonts
# Debian ships for Wine, silent audio, and a browser hook that tests can point elsewhere.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
template="$top/.cache/wine-template"
stamp="$template/.ready-4"
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
# Wine links the user's Desktop, Documents, Pictures... to the Linux home; programs
# under test write there (captures go to Pictures), so they become folders of the prefix.
find "$template/drive_c/users" -mindepth 2 -maxdepth 2 -type l -exec sh -c 'rm "$1" && mkdir "$1"' _ {} \;
cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/"
touch "$stamp"
echo "Wine prefix template ready in $template"
