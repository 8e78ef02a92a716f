# Shared by the set-up commands: the packages, the virtual display and the
# Wine prefix. Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${ORVANE_WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts: the clock needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

PACKAGES=(cmake ninja-build g++ googletest clang libclang-rt-14-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine32:i386 wine64 fonts-wine
          xvfb xauth x11-utils xdotool imagemagick procps openbox python3)

say() { printf '\033[1m== %s\033[0m\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing ${missing[*]}"
    # 32-bit Wine runs the 32-bit clock: it needs the i386 architecture.
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Starts a private virtual display and sets XVFB_DISPLAY to its name. Xvfb
# picks a free number itself, so that displays started side by side never
# take the same one. It ends with the script (end_started). Arguments, if
# any, are a command that starts Xvfb (nice -n N, say).
XVFB_PIDS=()
start_xvfb() {
    local number_file
    number_file="$(mktemp)"
    "$@" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PIDS+=($!)
    XVFB_DISPLAY=""
    for _ in $(seq 100); do
        [ -s "$number_file" ] && XVFB_DISPLAY=":$(tr -d '[:space:]' <"$number_file")" && break
        sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$XVFB_DISPLAY" ] || ! DISPLAY="$XVFB_DISPLAY" xdpyinfo >/dev/null 2>&1; then
        echo "a virtual display did not start" >&2
        return 1
    fi
}

# The Wine prefixes whose servers end with the script, beside the displays.
WINE_PREFIXES_USED=("$WINEPREFIX")
end_started() {
    local prefix
    for prefix in "${WINE_PREFIXES_USED[@]}"; do
        WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    [ ${#XVFB_PIDS[@]} -eq 0 ] || kill "${XVFB_PIDS[@]}" 2>/dev/null || true
}

# Starts a private virtual display and exports DISPLAY; it ends with the script.
start_virtual_display() {
    # Programs left running in this prefix would keep their desktop on
    # another display.
    wineserver -k 2>/dev/null || true
    trap end_started EXIT
    start_xvfb || return 1
    export DISPLAY="$XVFB_DISPLAY"
}

# A headless Wine prefix with a virtual desktop and its taskbar (where the tray
# icon shows),
# no crash dialogs, and Wine's own fonts standing in for the Windows ones.
prepare_wine_prefix() {
    [ -f "$WINEPREFIX/.orvane-ready" ] && return 0
    say "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    cat > "$WINEPREFIX/orvane.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1280x1024"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Sans Serif"="Tahoma"
"Microsoft Sans Serif"="Tahoma"
REG
    wine regedit /S "$(winepath -w "$WINEPREFIX/orvane.reg")" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.orvane-ready"
}
