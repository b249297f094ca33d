#!/bin/sh
# SPDX-License-Identifier: MIT
# Draws the documented screens afresh and compares them with the committed pictures, pixel for pixel: a
# piece, a button or a caption one pixel out of place, a tint or a facing changed, fails. After a change
# meant to alter a screen, draw the pictures again (README, Tests) and look at them before committing.
# Usage: screens-check.sh SCREENSHOT_TOOL DOCUMENTED_FOLDER
set -eu
tool="$1"
documented="$2"
drawn="$(mktemp -d)"
trap 'rm -rf "$drawn"' EXIT
"$tool" "$drawn" > "$drawn/output.txt" || { cat "$drawn/output.txt"; exit 1; }
status=0
for screen in sponsor title board victory draw; do
    # Differing pixels; a shade of rounding (another Mesa) is forgiven, a moved or recoloured picture is not.
    differing="$(compare -metric AE -fuzz 2% "$documented/$screen.png" "$drawn/$screen.png" null: 2>&1)" || true
    if [ "$differing" != 0 ]; then
        echo "$screen: $differing pixels differ from $documented/$screen.png"
        cp "$drawn/$screen.png" "${TMPDIR:-/tmp}/marrowgate-drawn-$screen.png" &&
            echo "  what was drawn: ${TMPDIR:-/tmp}/marrowgate-drawn-$screen.png"
        status=1
    fi
done
exit $status
