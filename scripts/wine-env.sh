# Sourced by the scripts that run Windows programs under Wine. Expects $build (the build folder);
# sets $wine and $server, starts one Wine server for the whole run and stops it on exit.
# Wine links the prefix's Documents to $HOME: keep both inside the build folder.
export HOME="$build/wine-home" WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
# The server ships with the loader's library; /usr/bin/wineserver only comes with the "wine" package.
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=$(command -v wineserver)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
# One Wine server for all tests, or every test pays a Wine start.
"$server" -k 2>/dev/null || true
"$server" -w 2>/dev/null || true
"$server" -p
trap '"$server" -k 2>/dev/null || true' EXIT
