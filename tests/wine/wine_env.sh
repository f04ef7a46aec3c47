# Shell helpers for running Windows programs under Wine from the test scripts and the Windows build.
# One prefix (and HOME, which prefix creation writes to) under the given folder; a server kept
# running while the programs run, so that each start takes milliseconds instead of seconds.

# wine_env WINE_HOME: points Wine at WINE_HOME/prefix (64-bit, no .NET or browser engine, no desktop
# menu entries, no debug chatter, no display).
wine_env() {
    mkdir -p "$1/prefix" || return 1
    export HOME="$1"
    export WINEPREFIX="$1/prefix"
    export WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEDEBUG=-all
    unset DISPLAY WAYLAND_DISPLAY
}

# wine_server_start [SECONDS]: starts this prefix's server here and brings up Wine's services
# (creating the prefix first if needed). The server stays until stopped, or with SECONDS that long
# after its last program ended. Fails when a server already serves the prefix: programs would then run
# wherever that server runs, which for sockets means its network namespace. A server that was not
# kept running ends by itself a few seconds after its last program; that much is waited for.
wine_server_start() {
    local persistent="-p${1:-}"
    if ! wineserver "$persistent" 2>/dev/null; then
        timeout 10 wineserver -w 2>/dev/null
        if ! wineserver "$persistent" 2>/dev/null; then
            echo "wine_env: a Wine server started elsewhere still serves $WINEPREFIX;" \
                "stop it first (WINEPREFIX=$WINEPREFIX wineserver -k)" >&2
            return 1
        fi
    fi
    # Without one program run first, every test waits for Wine's services, and some hang.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# wine_server_stop: ends every program of the prefix and its server, and waits until they are gone.
wine_server_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
