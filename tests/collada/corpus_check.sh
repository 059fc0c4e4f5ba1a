#!/bin/sh
# Runs daecheck over every file of the COLLADA corpus and compares each
# outcome with corpus_outcomes.txt. A crash, a sanitizer report, a hang or a
# file missing from the list fails the check.
# usage: corpus_check.sh DAECHECK CORPUS_DIR OUTCOMES [--scene]
set -u
daecheck=$1 corpus=$2 outcomes=$3 mode=${4:-}
failures=0
checked=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
fail() { echo "FAIL $1: $2"; failures=$((failures + 1)); }

for path in "$corpus"/*.dae; do
  file=$(basename "$path")
  line=$(grep -E "^$file " "$outcomes")
  [ -n "$line" ] || { fail "$file" "not listed in $outcomes"; continue; }
  set -- $line
  expected=$2
  shift 2
  timeout 120 "$daecheck" $mode "$path" >"$out" 2>"$err"
  status=$?
  checked=$((checked + 1))
  if grep -q -E "ERROR: (Address|Leak)Sanitizer|runtime error:" "$err"; then
    fail "$file" "sanitizer report"; sed -n '1,40p' "$err"; continue
  fi
  if ! grep -q "^daecheck: done$" "$out"; then
    fail "$file" "daecheck did not finish (status $status)"; tail -n 20 "$err"; continue
  fi
  case $expected in
    loaded) want=0 ;;
    *) want=2 ;;
  esac
  [ "$status" -eq "$want" ] || { fail "$file" "status $status, expected $want"; continue; }
  grep -q -F "daecheck: $path: $expected" "$out" || { fail "$file" "not $expected"; continue; }
  for fact in "$@"; do
    text=$(echo "$fact" | tr '|' ' ')
    grep -q -F -- "$text" "$out" || fail "$file" "summary lacks '$text'"
  done
done
echo "corpus: $checked files checked, $failures failures"
[ "$checked" -gt 0 ] && [ "$failures" -eq 0 ]
