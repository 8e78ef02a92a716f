#!/bin/sh
# Runs a command under Wine in the prefix and on the display of the slot that
# ctest gave the test. scripts/test.sh runs the Wine suites side by side, each
# in a slot of its own: one prefix serves one suite at a time (the end of a
# session, the display's DPI and `wineserver -w` reach every program in it),
# and one display serves one prefix's desktop. The slots are folders under
# $ORVANE_WINE_SLOTS holding `prefix`, a file `display` and, for a slot whose
# suite watches the real clock and must be served on time, a file `nice` with
# the priority it runs at. Without a slot (ctest run by hand, one test at a
# time), the command runs as it is.
#   wine_slot.sh wine program.exe arguments...
type=${CTEST_RESOURCE_GROUP_0:-}
case "$type" in
    wine | wine_timed) ;;
    *) exec "$@" ;;
esac
[ -n "${ORVANE_WINE_SLOTS:-}" ] || exec "$@"
slot=$(printenv "CTEST_RESOURCE_GROUP_0_$(echo "$type" | tr '[:lower:]' '[:upper:]')")
slot=${slot#id:}
slot="$ORVANE_WINE_SLOTS/${slot%%,*}"
if [ ! -d "$slot/prefix" ] || [ ! -s "$slot/display" ]; then
    echo "wine_slot.sh: no prefix or display in $slot" >&2
    exit 1
fi
WINEPREFIX="$slot/prefix"
DISPLAY=$(cat "$slot/display")
export WINEPREFIX DISPLAY
if [ -s "$slot/nice" ]; then
    # Wine's server, started by the first program, would go to a session of
    # its own, where every request of the suite's programs would wait its turn
    # with the rest of the machine: it starts here, in the suite's session.
    exec "$(dirname "$0")/run_ahead.sh" "$(cat "$slot/nice")" \
        sh -c 'wineserver --foreground </dev/null >/dev/null 2>&1 & exec "$@"' sh "$@"
fi
exec "$@"
