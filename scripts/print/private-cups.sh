# A print queue of the tests' own: a cupsd on a socket and configuration
# folder of its own with one cups-pdf queue, "Tessella_PDF", its default,
# whose pages land as PDF files in a folder of ours. Sourced by the test
# scripts:
#   private_cups_start FOLDER   starts it; exports CUPS_SERVER (the socket,
#                               which libcups and Wine's printing honour) and
#                               TESSELLA_CUPS_OUT (where the PDFs land); on
#                               failure returns 1 with the reason in
#                               $private_cups_why
#   private_cups_wait N [SECS]  waits until the queue is idle and N PDFs are
#                               there (default 60 s)
#   private_cups_stop           stops it and removes what it left outside FOLDER
# cups-pdf writes only when it runs as root, and reads its settings from
# /etc/cups only: the queue needs root.

private_cups_pid= private_cups_conf= private_cups_why=

private_cups_start() {
  local dir=$1 tool
  private_cups_why=
  for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null 2>&1 || { private_cups_why="$tool is not installed (scripts/setup.sh installs it)"; return 1; }
  done
  if [[ ! -x /usr/lib/cups/backend/cups-pdf ]]; then
    private_cups_why="the cups-pdf backend is not installed (printer-driver-cups-pdf)"
    return 1
  fi
  if [[ $(id -u) -ne 0 ]]; then
    private_cups_why="cups-pdf prints only for root and this is $(id -un)"
    return 1
  fi
  local ppd
  ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n 1)
  if [[ -z "$ppd" ]]; then
    private_cups_why="cups-pdf's PPD is missing"
    return 1
  fi
  mkdir -p "$dir"/{spool,cache,state,log,out}
  chmod 755 "$dir" "$dir/out"
  cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/spool
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
CONF
  # A socket only: nothing of this server is seen on the network.
  cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing No
WebInterface No
LogLevel warn
DefaultAuthType None
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
  # cups-pdf takes its settings from /etc/cups/cups-pdf-NAME.conf for the
  # device URI cups-pdf:/NAME; a name per run keeps runs apart.
  local name="tessella-test-$$"
  private_cups_conf="/etc/cups/cups-pdf-$name.conf"
  mkdir -p /etc/cups
  if ! printf 'Out %s\nAnonDirName %s\nLabel 0\nTitlePref 1\nGrp root\n' "$dir/out" "$dir/out" \
      >"$private_cups_conf" 2>/dev/null; then
    private_cups_why="cannot write $private_cups_conf"
    private_cups_conf=
    return 1
  fi
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 </dev/null &
  private_cups_pid=$!
  export CUPS_SERVER="$dir/cups.sock" TESSELLA_CUPS_OUT="$dir/out"
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -S "$dir/cups.sock" ]] && lpstat -r >/dev/null 2>&1 && break
    if ! kill -0 "$private_cups_pid" 2>/dev/null; then
      private_cups_why="cupsd did not start: $(tail -n 1 "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null | grep -v '^==\|^$' | tail -n 1)"
      private_cups_pid=
      private_cups_stop
      return 1
    fi
    sleep 0.1
  done
  if ! lpstat -r >/dev/null 2>&1; then
    private_cups_why="cupsd did not answer on $dir/cups.sock within 10 s"
    private_cups_stop
    return 1
  fi
  local out
  # Poppler's pdftops keeps the page's text as text through cups-pdf's
  # Ghostscript (Ghostscript's own conversion turns it into outlines), so
  # that pdftotext can read the heading back.
  if ! out=$(lpadmin -p Tessella_PDF -E -v "cups-pdf:/$name" -P "$ppd" -o pdftops-renderer-default=pdftops 2>&1) ||
     ! lpadmin -d Tessella_PDF >/dev/null 2>&1; then
    private_cups_why="the cups-pdf queue could not be added: $(grep -v deprecated <<<"$out" | head -n 1)"
    private_cups_stop
    return 1
  fi
  return 0
}

private_cups_wait() {
  local want=$1 secs=${2:-60} i n
  for ((i = 0; i < secs * 5; i++)); do
    n=$(find "$TESSELLA_CUPS_OUT" -name '*.pdf' 2>/dev/null | wc -l)
    if ((n >= want)) && [[ -z "$(lpstat -o 2>/dev/null)" ]]; then return 0; fi
    sleep 0.2
  done
  return 1
}

private_cups_stop() {
  if [[ -n "$private_cups_pid" ]]; then
    kill "$private_cups_pid" 2>/dev/null
    wait "$private_cups_pid" 2>/dev/null
  fi
  [[ -n "$private_cups_conf" ]] && rm -f "$private_cups_conf"
  private_cups_pid= private_cups_conf=
  unset CUPS_SERVER TESSELLA_CUPS_OUT
  return 0
}
