#!/usr/bin/env bash
# Starts a private CUPS scheduler for the printing tests: its own configuration,
# spool, state and socket, never the machine's cupsd or /etc/cups.
#
# $1 is a handle folder for the tests (it may sit in a folder that only its
# owner may enter, such as /root). The scheduler's own folders live in a fresh
# folder under /tmp, because its filters run as the lp user and must reach
# them; the handle records that folder for stop.sh and links to its socket
# (cups.sock), the file printers' output (out/QUEUE.pdf) and the IPP
# printer's kept documents (ipp/).
#
# Queues: ruvured-pdf (the default), ruvured-letter (Letter by default),
# ruvured-long-edge and ruvured-short-edge (two-sided by default),
# ruvured-reject (refuses jobs), ruvured-disabled (stopped), ruvured-gone
# (for deleting while a job is drawn), and ruvured-ipp: a queue without PPD on
# a driverless IPP printer (ippeveprinter).
set -euo pipefail
handle="$1"
here="$(cd "$(dirname "$0")" && pwd)"

[ -f "$handle/run-dir" ] && "$here/stop.sh" "$handle"
rm -rf "$handle"
mkdir -p "$handle"
run="$(mktemp -d /tmp/ruvured-cups.XXXXXX)"
echo "$run" > "$handle/run-dir"
mkdir -p "$run"/{spool/tmp,cache,state,log,out,ppd,ipp,bus}
chmod 0755 "$run" "$run"/{cache,state,log,out,ipp}
chmod 1777 "$run/spool" "$run/spool/tmp"
ln -s "$run/cups.sock" "$handle/cups.sock"
ln -s "$run/out" "$handle/out"
ln -s "$run/ipp" "$handle/ipp"

fail() {
  echo "start.sh: $*" >&2
  cat "$run"/log/* >&2 2>/dev/null || true
  "$here/stop.sh" "$handle"
  exit 1
}

# Polls `command` every 0.2 s until it succeeds; fails after `seconds` or as
# soon as the process behind `pidfile` has died.
wait_until() {
  local seconds="$1" pidfile="$2" what="$3"
  shift 3
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    kill -0 "$(cat "$pidfile")" 2>/dev/null || fail "$what exited"
    [ "$SECONDS" -lt "$deadline" ] || fail "$what not ready after $seconds s"
    sleep 0.2
  done
}

cat > "$run/cups-files.conf" <<CONF
ServerRoot $run
RequestRoot $run/spool
TempDir $run/spool/tmp
CacheDir $run/cache
StateDir $run/state
AccessLog $run/log/access_log
ErrorLog $run/log/error_log
PageLog $run/log/page_log
Printcap $run/printcap
FileDevice Yes
User lp
Group lp
Sandboxing Relaxed
CONF

cat > "$run/cupsd.conf" <<CONF
Listen $run/cups.sock
LogLevel info
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

/usr/sbin/cupsd -c "$run/cupsd.conf" -s "$run/cups-files.conf" -f >"$run/log/cupsd.out" 2>&1 </dev/null &
echo $! > "$run/cupsd.pid"
export CUPS_SERVER="$run/cups.sock" LC_ALL=C
# `lpstat -r` exits 0 either way; only its words tell a running scheduler.
scheduler_running() { lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }
wait_until 60 "$run/cupsd.pid" cupsd scheduler_running

# ippeveprinter insists on a DNS-SD client, which needs a message bus; a
# private bus without any DNS-SD service keeps it from announcing anything.
cat > "$run/bus/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$run/bus/bus.sock</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$run/bus/bus.conf" --nofork >"$run/log/bus.out" 2>&1 </dev/null &
echo $! > "$run/bus.pid"
wait_until 20 "$run/bus.pid" dbus-daemon test -S "$run/bus/bus.sock"

# A port that is free now (perl-base is on every Debian system).
port="$(perl -MIO::Socket::INET -e 'print IO::Socket::INET->new(Listen => 1, LocalAddr => "127.0.0.1:0")->sockport')"
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/bus/bus.sock" \
  ippeveprinter -p "$port" -n localhost -r off -k -d "$run/ipp" -2 -f application/pdf \
  "ruvured IPP" >"$run/log/ippeveprinter.out" 2>&1 </dev/null &
echo $! > "$run/ippeveprinter.pid"
ipp_uri="ipp://localhost:$port/ipp/print"
wait_until 30 "$run/ippeveprinter.pid" ippeveprinter \
  ipptool -T 5 "$ipp_uri" get-printer-attributes.test

add_pdf_queue() {
  local name="$1"
  shift
  lpadmin -p "$name" -E -v "file://$run/out/$name.pdf" -P "$here/pdf-printer.ppd" "$@" 2>/dev/null
}
add_pdf_queue ruvured-pdf
add_pdf_queue ruvured-letter -o PageSize=Letter
add_pdf_queue ruvured-long-edge -o Duplex=DuplexNoTumble
add_pdf_queue ruvured-short-edge -o Duplex=DuplexTumble
add_pdf_queue ruvured-reject
add_pdf_queue ruvured-disabled
add_pdf_queue ruvured-gone
cupsreject -r "closed for the test" ruvured-reject
cupsdisable -r "stopped for the test" ruvured-disabled
# No model: a queue without PPD that passes documents to the printer as they are.
lpadmin -p ruvured-ipp -E -v "$ipp_uri" 2>/dev/null
lpadmin -d ruvured-pdf
