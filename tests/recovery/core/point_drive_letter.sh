#!/usr/bin/env bash
# Points drive X: of a private Wine prefix at a file, so that "\\.\X:" opens it like a logical volume.
#
#   point_drive_letter.sh PREFIX TARGET WINRUN
#
# The prefix is set up first and the link added after: Wine's first-run installer probes every drive and
# does not come back from a 5 GiB "device" that is a plain file.
set -euo pipefail
PREFIX=$1
TARGET=$2
WINRUN=$3

export PROJECT_WINEPREFIX=$PREFIX
if [[ ! -f $PREFIX/.initialised ]]; then
    # Under tools/test the tests' prefix is ready: a linked copy of it costs a few MB and no first run.
    shared=${WINRUN_SESSIONS_SHARED_PREFIX:-}
    if [[ -n $shared && -f $shared/.initialised ]]; then
        source "$(dirname "$0")/../../../tools/wine-env.sh"
        clone_wine_prefix "$shared" "$PREFIX"
        rm -f "$PREFIX/dosdevices/x::"
    else
        rm -f "$PREFIX/dosdevices/x::"
        "$WINRUN" cmd /c exit
    fi
fi
ln -sfn "$TARGET" "$PREFIX/dosdevices/x::"
