#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# resultado.csv opened by a real spreadsheet program (LibreOffice Calc,
# headless) the way it opens a CSV: the 23-digit payment code stays text,
# whole, and no cell becomes a formula, not even a name typed as one.
set -u
talonario=$1
if ! command -v soffice >/dev/null; then
    echo "FAIL: LibreOffice Calc is missing (scripts/setup installs libreoffice-calc-nogui)" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
printf 'cuit;mes;anio;remuneracion;establecimiento\n20123456786;5;2026;1000;=1+2\n27234567891;6;2026;200000,50;@SUMA(A1)\n' >"$work/lista.csv"
"$talonario" --lote "$work/lista.csv" --carpeta "$work/out" >/dev/null 2>"$work/err" ||
    { echo "FAIL: the batch: $(cat "$work/err")" >&2; exit 1; }
# 59 ';', 34 '"', 76 UTF-8, from line 1: what Calc proposes for this file.
timeout 120 soffice --headless --norestore --infilter=CSV:59,34,76,1 --convert-to fods \
    --outdir "$work/calc" "$work/out/resultado.csv" >"$work/soffice.log" 2>&1
sheet=$work/calc/resultado.fods
[[ -s $sheet ]] || { echo "FAIL: Calc did not read the report: $(cat "$work/soffice.log")" >&2; exit 1; }
failures=0
for code in 52472012345678600001500 52472723456789100300000; do
    grep -q "$code" "$sheet" || { echo "FAIL: the code $code did not stay whole" >&2; failures=$((failures + 1)); }
done
if grep -q 'E+022' "$sheet"; then
    echo "FAIL: a code became a number" >&2
    failures=$((failures + 1))
fi
if grep -q 'table:formula=' "$sheet"; then
    echo "FAIL: a cell became a formula" >&2
    failures=$((failures + 1))
fi
((failures == 0)) && echo "all passed"
exit $((failures > 0))
