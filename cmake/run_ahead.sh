#!/bin/sh
# Runs a command ahead of the rest of the machine's work, at the niceness
# given. The scheduler may share the processors between sessions first (its
# autogroups), and a niceness then counts only inside a session: the command
# gets a session of its own, at that niceness too. A negative niceness takes
# root; without it the command runs at the usual priority.
#   run_ahead.sh -10 command arguments...
niceness=$1
shift
[ "$(id -u)" -eq 0 ] || exec "$@"
exec setsid -w sh -c 'echo "$0" >/proc/self/autogroup 2>/dev/null; exec nice -n "$0" "$@"' "$niceness" "$@"
