# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
# Sourced by the scripts that start the window on a virtual X server: a desktop session gives every
# program a private runtime folder, and Qt warns when there is none. Outside a session, one in the
# build tree given as the first argument serves.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$1/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi
