# A private CUPS scheduler for the print tests, with one cups-pdf queue: each job becomes a PDF of its
# own, and the scheduler keeps every job's document in its spool folder for the tests to read.
# Usage: cups.sh start DIR | cups.sh stop DIR
# start leaves DIR/env with CUPS_SERVER, the queue name, the spool folder and cups-pdf's log.
#
# The scheduler's filters run as lp, and read the job's document and the queue's PPD from the
# scheduler's folders: those live in a folder of their own under /tmp that lp may pass through, not in
# DIR, which a clone in a home folder of mode 0700 keeps out of lp's reach. DIR/staged names it.
set -euo pipefail
action=$1
dir=$2

stop() {
    [ -f "$dir/staged" ] || return 0
    local staged
    staged=$(cat "$dir/staged")
    if [ -f "$staged/cupsd.pid" ]; then
        local pid
        pid=$(cat "$staged/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        # The scheduler writes into its folders until it is gone.
        timeout 5 tail -s 0.1 --pid="$pid" -f /dev/null || true
    fi
    if [ -f "$staged/queue" ]; then
        local queue
        queue=$(cat "$staged/queue")
        rm -f "/etc/cups/cups-pdf-$queue.conf"
        # The PDFs cups-pdf made for this queue's jobs, then its log.
        local log="/var/log/cups/cups-pdf-${queue}_log"
        if [ -f "$log" ]; then
            grep -o 'output filename created: .*' "$log" | sed 's/output filename created: //' | while read -r pdf; do
                rm -f "$pdf"
            done
            rm -f "$log"
        fi
    fi
    case "$staged" in
    /tmp/hueloom-cups.*) rm -rf "$staged" ;;
    esac
    rm -f "$dir/staged"
    return 0
}

if [ "$action" = stop ]; then
    stop
    exit 0
fi

stop
rm -rf "$dir"
mkdir -p "$dir"
# cups-pdf takes its queue settings only from /etc/cups, and backends run as root: without root the
# print test has no scheduler and says it was skipped.
if [ "$(id -u)" -ne 0 ]; then
    : >"$dir/env"
    echo "not root: no private CUPS scheduler"
    exit 0
fi
staged=$(mktemp -d /tmp/hueloom-cups.XXXXXX)
echo "$staged" >"$dir/staged"
# mktemp makes it 0700; lp must be able to enter it (the scheduler makes its server root so anyway).
chmod 0755 "$staged"
mkdir -p "$staged"/{spool/tmp,cache,state,log,ppd}
chmod 0710 "$staged/spool"
chown root:lp "$staged/spool" "$staged/spool/tmp" "$staged/cache" "$staged/state"
chmod 1777 "$staged/spool/tmp"
queue="HueloomTest$$"
echo "$queue" >"$staged/queue"

cat >"$staged/cupsd.conf" <<CONF
Listen $staged/cups.sock
LogLevel warn
Browsing No
PreserveJobFiles Yes
PreserveJobHistory Yes
# Job records are written at once, so the tests can read a finished job's attributes.
DirtyCleanInterval 0
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$staged/cups-files.conf" <<CONF
ServerRoot $staged
RequestRoot $staged/spool
TempDir $staged/spool/tmp
CacheDir $staged/cache
StateDir $staged/state
ErrorLog $staged/log/error_log
AccessLog $staged/log/access_log
PageLog $staged/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
CONF
# cups-pdf reads settings for a queue from /etc/cups: name every PDF by its job id, and log each one.
cat >"/etc/cups/cups-pdf-$queue.conf" <<CONF
Label 2
LogType 7
CONF

cupsd -f -c "$staged/cupsd.conf" -s "$staged/cups-files.conf" >"$staged/log/cupsd.out" 2>&1 &
echo $! >"$staged/cupsd.pid"
export CUPS_SERVER="$staged/cups.sock"
for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
done
lpstat -r | grep -q "is running" || { cat "$staged/log/"* >&2; exit 1; }
lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
cupsenable "$queue"
cupsaccept "$queue"
cat >"$dir/env" <<ENV
CUPS_SERVER=$staged/cups.sock
HUELOOM_TEST_QUEUE=$queue
HUELOOM_TEST_SPOOL=$staged/spool
HUELOOM_TEST_LOG=$staged/log
HUELOOM_TEST_PDF_LOG=/var/log/cups/cups-pdf-${queue}_log
ENV
echo "CUPS scheduler running in $staged with queue $queue"
