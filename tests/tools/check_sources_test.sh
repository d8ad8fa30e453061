#!/usr/bin/env bash
# tools/check-sources over a small tree: clean layering passes, and each planted wrong include fails.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{engine/recovery,framework/include/afx,toolkit/foundation,ui/controls,app}
touch "$tree"/engine/recovery/state.h "$tree"/framework/include/afxwin.h "$tree"/framework/include/afx/wnd.h \
      "$tree"/toolkit/foundation/skin.h "$tree"/ui/controls/panel.h "$tree"/app/main_frame.h
printf '#include "engine/recovery/state.h"\n#include <vector>\n' > "$tree"/engine/recovery/scan.cpp
printf '#include "afx/wnd.h"\n' > "$tree"/framework/include/afx/frame.h
printf '#include <afxwin.h>\n' > "$tree"/toolkit/foundation/bar.cpp
printf '#include "skin.h"\n#include <afxwin.h>\n' > "$tree"/ui/controls/panel.cpp
"$check" --root "$tree" --no-format || { echo "a clean tree was refused"; exit 1; }
status=0
plant() { # file include-line
    local saved; saved=$(cat "$tree/$1")
    echo "$2" >> "$tree/$1"
    if "$check" --root "$tree" --no-format 2>/dev/null; then echo "not caught: $1: $2"; status=1; fi
    printf '%s\n' "$saved" > "$tree/$1"
}
plant engine/recovery/scan.cpp '#include <afxwin.h>'
plant engine/recovery/scan.cpp '#include "framework/include/afx/wnd.h"'
plant engine/recovery/scan.cpp '#include "ui/controls/panel.h"'
plant engine/recovery/state.h '#include "skin.h"'
plant engine/recovery/scan.cpp '#include "app/main_frame.h"'
plant framework/include/afx/frame.h '#include "skin.h"'
plant framework/include/afx/frame.h '#include "panel.h"'
plant toolkit/foundation/bar.cpp '#include "main_frame.h"'
exit $status
