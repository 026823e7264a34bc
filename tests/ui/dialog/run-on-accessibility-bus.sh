#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a program in a D-Bus session of its own with Qt's accessibility bridge on, so that an
# AT-SPI client (read-as-screen-reader.py) can read its windows as a screen reader does. Exits
# 77, which CTest reports as skipped, when a tool is missing. Run it on an X display (Qt's bridge
# needs one): run-on-x-display.sh sh run-on-accessibility-bus.sh PROGRAM [ARGS...]
set -u

if ! command -v dbus-run-session >/dev/null 2>&1; then
    echo "SKIP: dbus-run-session is not installed (scripts/install-deps installs dbus-daemon)"
    exit 77
fi
# pyatspi is a Debian package of the system's interpreter, which another python3 on the PATH
# (a virtual environment, pyenv) does not see.
PARVEX_ATSPI_PYTHON=""
for python in /usr/bin/python3 python3; do
    if "$python" -c 'import pyatspi' >/dev/null 2>&1; then
        PARVEX_ATSPI_PYTHON=$python
        break
    fi
done
if [ -z "$PARVEX_ATSPI_PYTHON" ]; then
    echo "SKIP: python3-pyatspi is not installed (scripts/install-deps installs it with" \
        "at-spi2-core)"
    exit 77
fi
export PARVEX_ATSPI_PYTHON
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The accessibility bus and its registry are started on demand by the session bus, and end
# with it.
exec dbus-run-session -- "$@"
