# A private CUPS server with a PDF queue, for the printing tests.
#
# Each test run starts its own cupsd (as root, no systemd) with its own
# configuration, state and socket under the build folder, so runs in other
# worktrees, and any system cupsd, neither see nor disturb it: nothing is
# shared but the installed programs. The queue "PDF" (printer-driver-cups-pdf)
# is the server's default and writes its files into a folder of this run.
# Wine reaches the server through CUPS_SERVER.
#
# Sourced by the other scripts; expects FW_BUILD to be set (scripts/lib/wine.sh).
#
#   fw_cups_start   starts the server; sets CUPS_SERVER, FW_PDF_DIR (the Unix
#                   folder the queue writes to). On failure it returns 1 and
#                   FW_CUPS_UNAVAILABLE says why.
#   fw_cups_stop    stops the server this run started and removes what it added;
#                   stopping twice does no harm.

FW_CUPS_QUEUE=PDF

fw_cups_start() {
  FW_CUPS_UNAVAILABLE=
  local missing="" p
  for p in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/lib/cups/backend/cups-pdf /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd; do
    [ -e "$p" ] || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    FW_CUPS_UNAVAILABLE="CUPS or cups-pdf is not installed (missing:$missing)"
    return 1
  fi
  # cupsd runs the cups-pdf backend as root only when cupsd itself is root.
  if [ "$(id -u)" != 0 ]; then
    FW_CUPS_UNAVAILABLE="a private cupsd with the cups-pdf backend needs root"
    return 1
  fi

  FW_CUPS_DIR=${FW_CUPS_DIR:-$FW_BUILD/${FW_E2E_NAME:-e2e}-cups}
  fw_cups_stop_stale
  rm -rf "$FW_CUPS_DIR"
  mkdir -p "$FW_CUPS_DIR"/{etc/ppd,spool/tmp,cache,state,log,pdf}
  chmod 755 "$FW_CUPS_DIR" "$FW_CUPS_DIR/pdf"
  # cups-pdf reads /etc/cups/cups-pdf-<instance>.conf for a queue whose
  # device is cups-pdf:/<instance>; the instance is this run's own.
  FW_CUPS_INSTANCE=$(fw_cups_instance "$FW_CUPS_DIR")
  local sock=$FW_CUPS_DIR/cups.sock
  # A Unix socket's path has room for about a hundred characters.
  [ ${#sock} -le 100 ] || sock=/tmp/framewick-cups-$FW_CUPS_INSTANCE.sock
  cat > "$FW_CUPS_DIR/etc/cups-files.conf" <<EOF
ServerRoot $FW_CUPS_DIR/etc
RequestRoot $FW_CUPS_DIR/spool
TempDir $FW_CUPS_DIR/spool/tmp
CacheDir $FW_CUPS_DIR/cache
StateDir $FW_CUPS_DIR/state
AccessLog $FW_CUPS_DIR/log/access_log
ErrorLog $FW_CUPS_DIR/log/error_log
PageLog $FW_CUPS_DIR/log/page_log
Printcap $FW_CUPS_DIR/state/printcap
SystemGroup root
FileDevice No
EOF
  cat > "$FW_CUPS_DIR/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $sock
Browsing No
WebInterface No
DefaultAuthType None
IdleExitTimeout 0
MaxJobs 100
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat > "/etc/cups/cups-pdf-$FW_CUPS_INSTANCE.conf" <<EOF
Out $FW_CUPS_DIR/pdf
Log $FW_CUPS_DIR/log
Label 2
Grp root
LogType 3
EOF

  /usr/sbin/cupsd -f -c "$FW_CUPS_DIR/etc/cupsd.conf" -s "$FW_CUPS_DIR/etc/cups-files.conf" \
    >"$FW_CUPS_DIR/log/cupsd.out" 2>&1 </dev/null &
  FW_CUPS_PID=$!
  echo "$FW_CUPS_PID" > "$FW_CUPS_DIR/started.pid"
  export CUPS_SERVER=$sock
  local i=0
  until [ -S "$sock" ] && lpstat -r 2>/dev/null | grep -q "is running"; do
    if ! kill -0 "$FW_CUPS_PID" 2>/dev/null || [ $i -ge 100 ]; then
      FW_CUPS_UNAVAILABLE="cupsd did not start: $(tail -3 "$FW_CUPS_DIR/log/cupsd.out" "$FW_CUPS_DIR/log/error_log" 2>/dev/null | tr '\n' ' ')"
      fw_cups_stop
      return 1
    fi
    sleep 0.1
    i=$((i + 1))
  done
  if ! lpadmin -p "$FW_CUPS_QUEUE" -v "cups-pdf:/$FW_CUPS_INSTANCE" \
         -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E >"$FW_CUPS_DIR/log/lpadmin.out" 2>&1 ||
     ! lpadmin -d "$FW_CUPS_QUEUE" >>"$FW_CUPS_DIR/log/lpadmin.out" 2>&1; then
    FW_CUPS_UNAVAILABLE="could not create the PDF queue: $(tr '\n' ' ' < "$FW_CUPS_DIR/log/lpadmin.out")"
    fw_cups_stop
    return 1
  fi
  export FW_PDF_DIR=$FW_CUPS_DIR/pdf
  return 0
}

# The cups-pdf instance of the server whose state is in a folder.
fw_cups_instance() {  # folder
  printf 'fw%s' "$(printf '%s' "$1" | md5sum | cut -c1-12)"
}

# A server left behind by a run that was killed: ours only (its pid file
# names a cupsd whose command line points at this folder).
fw_cups_stop_stale() {
  local pid
  pid=$(cat "$FW_CUPS_DIR/started.pid" 2>/dev/null) || return 0
  if [ -n "$pid" ] && tr '\0' ' ' 2>/dev/null < "/proc/$pid/cmdline" | grep -qF "$FW_CUPS_DIR/etc/cupsd.conf"; then
    kill "$pid" 2>/dev/null
    local i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  fi
}

fw_cups_stop() {
  if [ -n "${FW_CUPS_PID:-}" ]; then
    kill "$FW_CUPS_PID" 2>/dev/null || true
    wait "$FW_CUPS_PID" 2>/dev/null || true
    FW_CUPS_PID=
    rm -f "$FW_CUPS_DIR/started.pid"
  fi
  if [ -n "${FW_CUPS_INSTANCE:-}" ]; then
    rm -f "/etc/cups/cups-pdf-$FW_CUPS_INSTANCE.conf"
    FW_CUPS_INSTANCE=
  fi
}
