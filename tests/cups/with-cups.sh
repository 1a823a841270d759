#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program against a private CUPS server with one cups-pdf queue
# as the default printer, so that printing goes through the real spooler and
# filters and the printed jobs can be read back as PDFs.
#
#   with-cups.sh <test program> [arguments...]
#
# The program gets, besides CUPS_SERVER pointing at the private server:
#   TALONARIO_CUPS_QUEUE   the queue's name
#   TALONARIO_CUPS_OUT     the folder where each job arrives as a PDF
#   TALONARIO_CUPS_QUEUE2  a second queue, not the default, to choose in a dialog
#   TALONARIO_CUPS_OUT2    the folder where the second queue's jobs arrive
#   TALONARIO_CUPS_SOCKET  the server's socket (the same as CUPS_SERVER)
# With TALONARIO_CUPS_KEEP set to a folder, the PDFs and logs are copied there
# on exit, to look at after a failure.
# Nothing of the system's own CUPS server or settings is used or changed,
# except cups-pdf's per-queue settings file, which it only reads from
# /etc/cups and which is removed on exit.
#
# cupsd must run as root to run the cups-pdf backend (it is root-only). A
# normal user runs this script through sudo (non-interactive): the server is
# root's, the test program runs as that user, its jobs are the user's and
# arrive as the user's files. Without root or sudo it fails, never skips.
set -euo pipefail

if (($# < 1)); then
    echo "usage: $0 <test program> [arguments...]" >&2
    exit 2
fi

# ctest reports this status as "skipped" (SKIP_RETURN_CODE): only for a
# missing package, which scripts/setup installs.
readonly skip=77
for tool in cupsd lpadmin lpstat cupsreject pdfinfo pdftoppm pdftotext pdftocairo gs; do
    if ! command -v "$tool" >/dev/null && [[ ! -x /usr/sbin/$tool ]]; then
        echo "SKIP: $tool is not installed (scripts/setup installs it)" >&2
        exit "$skip"
    fi
done
readonly backend=/usr/lib/cups/backend/cups-pdf
readonly ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
# The backend is root's alone: a normal user can only see that it is there.
if [[ ! -e $backend || ! -r $ppd ]]; then
    echo "SKIP: cups-pdf is not installed (scripts/setup installs it)" >&2
    exit "$skip"
fi

if [[ $(id -u) -ne 0 ]]; then
    if ! sudo -n true 2>/dev/null; then
        echo "FAIL: printing through a private CUPS server needs root, or sudo without a" \
            "password (sudo -n)" >&2
        exit 1
    fi
    # sudo starts from a clean environment: what the test program is given
    # goes along by name.
    passed=(TALONARIO_CUPS_USER="$(id -u):$(id -g)" PATH="$PATH")
    for name in LANG LC_ALL TMPDIR XDG_RUNTIME_DIR TALONARIO_CUPS_KEEP $(compgen -e | grep -E '^(QT|QTEST)_'); do
        [[ -n ${!name+set} ]] && passed+=("$name=${!name}")
    done
    exec sudo -n env "${passed[@]}" bash "$0" "$@"
fi
PATH=$PATH:/usr/sbin

# The user the test program runs as ("uid:gid"), when it is not root.
user=${TALONARIO_CUPS_USER:-0:0}
unset TALONARIO_CUPS_USER
readonly uid=${user%%:*} gid=${user##*:}

# A queue name of our own, so that the settings file cups-pdf reads for it
# can never be one the system already has.
readonly queue="TalonarioTest$$"
readonly queue_conf=/etc/cups/cups-pdf-$queue.conf
readonly queue2="TalonarioSegunda$$"
readonly queue2_conf=/etc/cups/cups-pdf-$queue2.conf
# A run killed outright leaves its settings file behind; remove those whose
# run is gone.
for stale in /etc/cups/cups-pdf-TalonarioTest*.conf /etc/cups/cups-pdf-TalonarioSegunda*.conf; do
    [[ -f $stale ]] || continue
    pid=${stale##*Talonario}
    pid=${pid#Test}
    pid=${pid#Segunda}
    pid=${pid%.conf}
    if [[ $pid =~ ^[0-9]+$ ]] && ! kill -0 "$pid" 2>/dev/null; then
        rm -f "$stale"
    fi
done

# A socket's path must fit in 108 bytes; a long TMPDIR falls back to /tmp.
tmp=${TMPDIR:-/tmp}
if ((${#tmp} > 64)); then
    tmp=/tmp
fi
base=$(mktemp -d "$tmp/talonario-cups.XXXXXX")
readonly base
# The client's side: the socket, where cups-pdf works as the job's owner and
# leaves the PDFs, and the client's home. The test program's user owns it
# and nobody else may enter it.
client=$(mktemp -d "$tmp/talonario-print.XXXXXX")
readonly client
cupsd_pid=
test_pid=

# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
    local status=$?
    if [[ -n $test_pid ]] && kill -0 "$test_pid" 2>/dev/null; then
        kill -TERM "$test_pid" 2>/dev/null || true
        wait "$test_pid" 2>/dev/null || true
    fi
    if [[ -n $cupsd_pid ]]; then
        kill -TERM "$cupsd_pid" 2>/dev/null || true
        # Bounded: a server that does not stop is killed outright.
        for _ in $(seq 50); do
            kill -0 "$cupsd_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    if ((status != 0)) && [[ -f $base/log/error_log ]]; then
        echo "--- cupsd error_log ---" >&2
        tail -n 40 "$base/log/error_log" >&2 || true
        for log in "$base"/log/cups-pdf*_log; do
            [[ -f $log ]] || continue
            echo "--- $(basename "$log") ---" >&2
            tail -n 20 "$log" >&2 || true
        done
    fi
    if [[ -n ${TALONARIO_CUPS_KEEP:-} ]]; then
        mkdir -p "$TALONARIO_CUPS_KEEP"
        cp -r "$client/out" "$client/out2" "$base/log" "$TALONARIO_CUPS_KEEP/" || true
        chown -R "$uid:$gid" "$TALONARIO_CUPS_KEEP" || true
    fi
    rm -f "$queue_conf" "$queue2_conf"
    rm -rf "$base" "$client"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The filters run as lp and must reach the spool below `base`; nobody else
# needs to enter it.
chgrp lp "$base"
chmod 0710 "$base"
mkdir -p "$base"/{etc/ppd,spool/tmp,state,cache,log}
mkdir -p "$client"/{out,out2,pdf-spool,pdf-tmp,anonymous,home}
chown -R "$uid:$gid" "$client"
chmod 0700 "$client"
readonly socket=$client/cups.sock

cat >"$base/cups-files.conf" <<EOF
ServerRoot $base/etc
RequestRoot $base/spool
TempDir $base/spool/tmp
StateDir $base/state
CacheDir $base/cache
AccessLog $base/log/access_log
ErrorLog $base/log/error_log
PageLog $base/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
Printcap $base/printcap
EOF

# Only a socket of our own; no network port, no browsing, no web pages. The
# socket's folder keeps other users out, so no authentication is asked.
cat >"$base/cupsd.conf" <<EOF
Listen $socket
LogLevel info
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultShared No
MaxJobs 0
PreserveJobHistory Yes
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

# cups-pdf writes its PDFs, spool, log and temporary files here, not in the
# user's home or the system's folders.
cat >"$queue_conf" <<EOF
Out $client/out
Spool $client/pdf-spool
AnonDirName $client/anonymous
Log $base/log
GSTmp $client/pdf-tmp
EOF
sed "s|^Out .*|Out $client/out2|" "$queue_conf" >"$queue2_conf"

# Clients (libcups, the test, Qt) talk only to our server and read no
# system-wide or per-user client settings that could name another default.
export CUPS_SERVER=$socket
export CUPS_SERVERROOT=$base/etc
export HOME=$client/home
unset LPDEST PRINTER CUPS_USER CUPS_ENCRYPTION

cupsd -f -c "$base/cupsd.conf" -s "$base/cups-files.conf" &
cupsd_pid=$!

# Bounded wait for the server to answer.
for _ in $(seq 100); do
    if lpstat -r 2>/dev/null | grep -q 'is running'; then
        break
    fi
    if ! kill -0 "$cupsd_pid" 2>/dev/null; then
        echo "cupsd exited during start-up" >&2
        exit 1
    fi
    sleep 0.1
done
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "cupsd did not answer within 10 s" >&2
    exit 1
fi

# Each PDF is named "<job title>-job_<job number>.pdf": two jobs with the same
# title never overwrite each other, and the number tells their order. The
# Cairo renderer keeps the fonts' character codes through PostScript, so the
# text of the PDF can be read back (Ghostscript's turns it into anonymous
# glyphs). lpadmin warns that PPD drivers are deprecated, so its words are
# shown only when it fails.
if ! said=$(lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o Label=2 -o TitlePref=1 \
    -o pdftops-renderer-default=pdftocairo 2>&1); then
    echo "lpadmin could not add the queue: $said" >&2
    exit 1
fi
if ! said=$(lpadmin -p "$queue2" -E -v "cups-pdf:/$queue2" -P "$ppd" -o Label=2 -o TitlePref=1 \
    -o pdftops-renderer-default=pdftocairo 2>&1); then
    echo "lpadmin could not add the second queue: $said" >&2
    exit 1
fi
lpadmin -d "$queue"
if [[ $(lpstat -d) != *": $queue" ]]; then
    echo "the queue did not become the default: $(lpstat -d)" >&2
    exit 1
fi

export TALONARIO_CUPS_QUEUE=$queue
export TALONARIO_CUPS_OUT=$client/out
export TALONARIO_CUPS_QUEUE2=$queue2
export TALONARIO_CUPS_OUT2=$client/out2
export TALONARIO_CUPS_SOCKET=$socket

# Not exec: the trap must still stop the server when the program ends. In the
# background, so that a signal to this script is handled at once rather than
# when the program ends.
if [[ $user == 0:0 ]]; then
    "$@" &
else
    setpriv --reuid="$uid" --regid="$gid" --init-groups "$@" &
fi
test_pid=$!
status=0
wait "$test_pid" || status=$?
test_pid=
exit "$status"
