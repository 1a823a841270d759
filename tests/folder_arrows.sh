#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The folders of the program include one another one way only: a folder that
# includes another is never included back by it, directly or through others.
# Usage: folder_arrows.sh SOURCE_DIR
set -euo pipefail
cd "$1"

arrows=$(
    for folder in */; do
        folder=${folder%/}
        case $folder in build* | tests | cmake | docs | scripts | packaging) continue ;; esac
        grep -rhoE '^#include "[a-z]+/' --include='*.cpp' --include='*.h' "$folder" |
            sed -E 's|^#include "([a-z]+)/|\1|' | sort -u |
            while read -r included; do
                [[ $included != "$folder" && -d $included ]] && echo "$folder $included"
            done
    done
)
if ! loop=$(tsort <<<"$arrows" 2>&1 >/dev/null) || [[ -n $loop ]]; then
    echo "FAIL: folders include each other in a loop:" >&2
    echo "$loop" >&2
    exit 1
fi
echo "$(wc -l <<<"$arrows") arrows between folders, none back"
