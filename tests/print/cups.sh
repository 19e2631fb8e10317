# A private CUPS scheduler for the print tests, with one cups-pdf queue: each job becomes a PDF of its
# own, and the scheduler keeps every job's document in its spool folder for the tests to read.
# Usage: cups.sh start DIR | cups.sh stop DIR
# start leaves DIR/env with CUPS_SERVER, the queue name, the spool folder and cups-pdf's log.
set -euo pipefail
action=$1
dir=$2

stop() {
    if [ -f "$dir/cupsd.pid" ]; then
        kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
        rm -f "$dir/cupsd.pid"
    fi
    if [ -f "$dir/queue" ]; then
        local queue
        queue=$(cat "$dir/queue")
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
    return 0
}

if [ "$action" = stop ]; then
    stop
    exit 0
fi

stop
rm -rf "$dir"
# cups-pdf takes its queue settings only from /etc/cups, and backends run as root: without root the
# print test has no scheduler and says it was skipped.
if [ "$(id -u)" -ne 0 ]; then
    mkdir -p "$dir"
    : >"$dir/env"
    echo "not root: no private CUPS scheduler"
    exit 0
fi
mkdir -p "$dir"/{spool/tmp,cache,state,log,ppd}
chmod 0755 "$dir"
chmod 0710 "$dir/spool"
chown root:lp "$dir/spool" "$dir/spool/tmp" "$dir/cache" "$dir/state"
chmod 1777 "$dir/spool/tmp"
queue="HueloomTest$$"
echo "$queue" >"$dir/queue"

cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
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
cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
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

cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"
export CUPS_SERVER="$dir/cups.sock"
for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
done
lpstat -r | grep -q "is running" || { cat "$dir/log/"* >&2; exit 1; }
lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
cupsenable "$queue"
cupsaccept "$queue"
cat >"$dir/env" <<ENV
CUPS_SERVER=$dir/cups.sock
HUELOOM_TEST_QUEUE=$queue
HUELOOM_TEST_SPOOL=$dir/spool
HUELOOM_TEST_PDF_LOG=/var/log/cups/cups-pdf-${queue}_log
ENV
echo "CUPS scheduler running with queue $queue"
