#!/bin/bash
# Every option of `zephran --help` appears in the manual page, which man
# renders without a warning.
set -euo pipefail
zephran=$1 page=$2
missing=0
for option in $("$zephran" --help | grep -o -E '(^|[ ,])--[a-z][a-z-]*' | tr -d ' ,' | sort -u); do
  grep -q -F -- "${option//-/\\-}" "$page" || { echo "zephran.6 does not list $option" >&2; missing=1; }
done
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man warns: $warnings" >&2; missing=1; }
exit $missing
