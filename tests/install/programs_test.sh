#!/bin/bash
# The project's own program list holds (every program called is listed and
# installed), and the checker finds what it must: a program called in the
# shell's many command positions, and none of the words that only look like
# commands.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
python3 "$here/programs_check.py" "$1"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tools" "$scratch/tests" "$scratch/.ci"
printf 'sh dash\ncat coreutils\n' >"$scratch/tools/programs.txt"
cat >"$scratch/tools/x.sh" <<'SCRIPT'
#!/bin/sh
# frob0 in a comment is no call
helper() { cat "$1"; }
helper file
case $1 in
  a|b) frob1 --x ;;
  *.mp4) : ;;
esac
v=$(frob2 -q) w="$(frob3)"
timeout 5 frob4 "$v"
X=1 frob5 2>"$w" | frob6
for f in one two; do echo "$f"; done
cat <<BODY
frob7 inside a here-document
BODY
if frob8; then "$PWD/own-tool"; fi
awk 'BEGIN {
  print "frob9 is awk text" }'
SCRIPT
status=0
python3 "$here/programs_check.py" "$scratch" >"$scratch/out" || status=$?
[ "$status" -eq 1 ] || { cat "$scratch/out"; echo "checker exit status $status, expected 1" >&2; exit 1; }
found=$(grep -o "'frob[0-9]*'" "$scratch/out" | tr -d "'" | sort | tr '\n' ' ')
[ "$found" = "frob1 frob2 frob3 frob4 frob5 frob6 frob8 " ] ||
  { cat "$scratch/out"; echo "checker found '$found', expected frob1-6 and frob8" >&2; exit 1; }
echo "programs: the checker finds calls in every command position and nothing else"
