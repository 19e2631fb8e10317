# The machine's own print server as a desktop has it: running, with a default printer. scripts/test runs
# the suite beside it, so a test that reaches it rather than its own scheduler (or none) is found out.
# Usage: machine-cups.sh start STATE | machine-cups.sh stop STATE
# start starts the scheduler when none runs, and adds a cups-pdf queue as the default when there is
# none; stop undoes what start did, and fails when a job reached the queue it added. It needs root and
# cupsd; without them it says so and leaves the machine alone.
set -euo pipefail
action=$1
state=$2
# The machine's scheduler, whatever the caller's environment names.
export CUPS_SERVER=/run/cups/cups.sock
unset PRINTER LPDEST

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

if [ "$action" = stop ]; then
    [ -d "$state" ] || exit 0
    status=0
    if [ -f "$state/queue" ]; then
        queue=$(cat "$state/queue")
        if lpstat -W all -o "$queue" 2>/dev/null | grep -q .; then
            echo "FAIL: a test printed on the machine's own printer $queue:"
            lpstat -W all -o "$queue"
            status=1
        fi
        lpadmin -x "$queue" || true
        rm -f "/var/log/cups/cups-pdf-${queue}_log" "/var/cache/cups/${queue}.strings"
    fi
    if [ -f "$state/cupsd.pid" ]; then
        pid=$(cat "$state/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        timeout 5 tail -s 0.1 --pid="$pid" -f /dev/null || true
    fi
    rm -rf "$state"
    exit $status
fi

# What an interrupted run left behind first.
[ ! -d "$state" ] || bash "$0" stop "$state" || true
if [ "$(id -u)" -ne 0 ] || ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null; then
    echo "The machine's print server is left as it is (this needs root and CUPS)."
    exit 0
fi
mkdir -p "$state"
if ! running; then
    # Its own session, so that an interrupted run's Ctrl+C does not reach it before stop does.
    setsid cupsd -f >"$state/cupsd.out" 2>&1 &
    echo $! >"$state/cupsd.pid"
    for _ in $(seq 1 100); do
        running && break
        sleep 0.1
    done
    if ! running; then
        echo "The machine's print server could not be started; the tests run without it:"
        cat "$state/cupsd.out"
        bash "$0" stop "$state"
        exit 0
    fi
fi
if ! lpstat -d 2>/dev/null | grep -q "system default destination:"; then
    queue="HueloomDesk$$"
    echo "$queue" >"$state/queue"
    lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd && lpadmin -d "$queue" ||
        echo "No default printer could be added; the tests run without one."
fi
echo "The machine's print server is running; $(lpstat -d)."
