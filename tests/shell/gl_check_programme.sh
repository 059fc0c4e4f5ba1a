#!/bin/sh
# The whole programme headless at 48x27 and 2 fps with --gl-check: every
# effect and frame must leave the GL state at rest, the driver must report
# nothing, and the run must say so and exit 0.
# usage: gl_check_programme.sh ZEPHRAN
out=$(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$1" --headless --size 48x27 --fps 2 --gl-check 2>&1)
status=$?
echo "$out" | grep '^gl-check'
[ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
echo "$out" | grep -q "^gl-check: collecting the driver's GL_KHR_debug messages" ||
    { echo "no debug context: the driver's messages were not checked"; exit 1; }
echo "$out" | grep -Eq '^gl-check: [1-9][0-9]* frames, 0 faults$' || { echo "expected 0 faults"; exit 1; }
