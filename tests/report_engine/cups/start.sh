#!/usr/bin/env bash
# Starts a private CUPS scheduler for the end-to-end printing test: its own
# configuration, spool, state and socket under $1, never the machine's cupsd.
# Its only printer, the default, writes each job's PDF to $1/out/job.pdf.
set -euo pipefail
run="$1"
here="$(cd "$(dirname "$0")" && pwd)"

[ -f "$run/cupsd.pid" ] && "$here/stop.sh" "$run"
rm -rf "$run"
mkdir -p "$run"/{spool/tmp,cache,state,log,out,ppd}
chmod 0755 "$run" "$run"/{cache,state,log,out}
chmod 1777 "$run/spool" "$run/spool/tmp"

cat > "$run/cups-files.conf" <<CONF
ServerRoot $run
RequestRoot $run/spool
TempDir $run/spool/tmp
CacheDir $run/cache
StateDir $run/state
AccessLog $run/log/access_log
ErrorLog $run/log/error_log
PageLog $run/log/page_log
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

export CUPS_SERVER="$run/cups.sock"
for _ in $(seq 50); do
  lpstat -r >/dev/null 2>&1 && break
  sleep 0.2
done
lpstat -r >/dev/null

lpadmin -p ruvured-pdf -E -v "file://$run/out/job.pdf" -P "$here/pdf-printer.ppd" 2>/dev/null
lpadmin -d ruvured-pdf
