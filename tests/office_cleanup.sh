#!/bin/sh
# Ends an office that a crashed test_libreoffice left behind, with its profile and pipes.
# The pattern is written so that it does not match this script's own command line.
pkill -KILL -f 'telmar-test-offic[e]-'
rm -rf "${TMPDIR:-/tmp}"/telmar-test-office-* /tmp/OSL_PIPE_"$(id -u)"_telmar-test-*
exit 0
