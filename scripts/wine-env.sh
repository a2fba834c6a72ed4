# Sourced by the run scripts: the Wine environment of one build tree.
# Needs TAV_WINE_ROOT (the Windows build tree); everything Wine writes stays inside it.
: "${TAV_WINE_ROOT:?TAV_WINE_ROOT must name the Windows build tree}"
export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX="$TAV_WINE_ROOT/wineprefix"
export HOME="$TAV_WINE_ROOT/home"
export WINEDEBUG="${TAV_WINEDEBUG:--all}"
# No Mono/Gecko install prompts, and a crash exits instead of waiting in the debugger;
# TAV_WINEDLLOVERRIDES adds a test's own (a library taken away).
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d${TAV_WINEDLLOVERRIDES:+;$TAV_WINEDLLOVERRIDES}"
export WINEARCH=win64
mkdir -p "$HOME"
