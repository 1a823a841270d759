#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lintian on the package: errors fail the test; warnings and notes are listed
# in the test's output.
# Usage: deb_lintian.sh OUT_DIR
set -euo pipefail

deb=$(ls "$1"/talonario_*.deb)
# Lintian's own temporary files stay in the test's folder, which goes with it.
TMPDIR=$(mktemp -d)
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
status=0
report=$(lintian --fail-on error --display-info "$deb" 2>&1) || status=$?
grep -v '^running with root privileges' <<<"$report" || true
if ((status != 0)); then
    echo "FAIL: lintian reports errors in $deb (status $status)" >&2
    exit 1
fi
# The record needs Qt's SQLite driver; an office's server, its PostgreSQL one.
grep -qw libqt6sql6-sqlite <<<"$(dpkg-deb -f "$deb" Depends)" ||
    { echo "FAIL: the package does not depend on libqt6sql6-sqlite" >&2; exit 1; }
grep -qw libqt6sql6-psql <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    { echo "FAIL: the package does not recommend libqt6sql6-psql" >&2; exit 1; }
echo "lintian: no errors"
