# Sourced by tools/winrun and tools/test: the project's own Wine prefix and a private display.
# Not a program of its own.

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${PROJECT_WINEPREFIX:-$project_root/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko install prompts: the program needs neither. A caller (a test) adds its own
# overrides in WINRUN_DLL_OVERRIDES, e.g. "uxtheme=d" to run as on a system without that library.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=${WINRUN_DLL_OVERRIDES:+;$WINRUN_DLL_OVERRIDES}"

wine_binary() {
    if command -v wine64 >/dev/null 2>&1; then
        echo wine64
    elif [[ -x /usr/lib/wine/wine64 ]]; then
        echo /usr/lib/wine/wine64
    else
        echo wine
    fi
}

wineserver_binary() {
    command -v wineserver 2>/dev/null || echo /usr/lib/wine/wineserver
}

# The screen's bits per pixel; a caller (a test) asks for another depth in WINRUN_SCREEN_DEPTH, e.g. 8
# for a 256-colour screen, and then always gets a private display of its own.
screen_depth() {
    echo "${WINRUN_SCREEN_DEPTH:-24}"
}

# Starts Xvfb on a free display number, exports DISPLAY, and sets started_xvfb_pid.
start_private_display() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "1280x1024x$(screen_depth)" -nolisten tcp -ac 3>"$number_file" >/dev/null 2>&1 &
    started_xvfb_pid=$!
    local tries=0
    while [[ ! -s "$number_file" ]]; do
        if ! kill -0 "$started_xvfb_pid" 2>/dev/null || [[ $tries -ge 100 ]]; then
            rm -f "$number_file"
            echo "winrun: Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    export DISPLAY=":$(head -n1 "$number_file")"
    rm -f "$number_file"
}

stop_private_display() {
    if [[ -n "${started_xvfb_pid:-}" ]]; then
        kill "$started_xvfb_pid" 2>/dev/null || true
        wait "$started_xvfb_pid" 2>/dev/null || true
        started_xvfb_pid=
    fi
}

# Stops the helper program of the screen whose pid the named variable holds, and clears it.
stop_screen_helper() {
    local variable=$1
    local pid=${!variable:-}
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        printf -v "$variable" '%s' ''
    fi
}

# Starts a helper program of the screen (KIND for messages, the pid into the named variable, then the
# command line) and reports one that ended at once; it takes the screen over within the given seconds.
start_screen_helper() {
    local kind=$1 variable=$2 seconds=$3
    shift 3
    command -v "$1" >/dev/null 2>&1 || { echo "winrun: no $kind $1" >&2; return 1; }
    "$@" >/dev/null 2>&1 &
    printf -v "$variable" '%s' "$!"
    sleep "$seconds"
    kill -0 "${!variable}" 2>/dev/null || { echo "winrun: $1 did not start" >&2; return 1; }
}

# WINRUN_WINDOW_MANAGER names a window manager (e.g. openbox) to run on a display that this script
# started; empty or "none" runs none, as the tests do by default. Without a window manager Wine waits
# about 2 s for every top-level window it destroys; with one the tests' windows behave as under a desktop.
started_window_manager_pid=
start_window_manager() {
    local manager=${WINRUN_WINDOW_MANAGER:-none}
    [[ $manager == none ]] && return 0
    local options=()
    [[ $manager == openbox ]] && options=(--sm-disable)
    start_screen_helper "window manager" started_window_manager_pid 1 "$manager" "${options[@]}"
}

stop_window_manager() { stop_screen_helper started_window_manager_pid; }

# WINRUN_COMPOSITOR=xcompmgr runs a compositing manager on a display that this script started, so that
# per-pixel alpha (the menus' drop shadows) is blended with what lies below, as on Windows. Xvfb alone
# composites nothing: there a layered window shows its colour channels opaque, and a shadow is a black bar.
started_compositor_pid=
start_compositor() {
    local compositor=${WINRUN_COMPOSITOR:-none}
    [[ $compositor == none ]] && return 0
    start_screen_helper "compositing manager" started_compositor_pid 0.5 "$compositor"
}

stop_compositor() { stop_screen_helper started_compositor_pid; }

# Creates the prefix once; concurrent callers wait for the first.
ensure_wine_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [[ ! -f "$WINEPREFIX/.initialised" ]]; then
            # The lock's descriptor is closed for Wine: its service processes outlive this call.
            "$(wine_binary)" wineboot -i >/dev/null 2>&1 9>&- || true
            "$(wineserver_binary)" -w 2>/dev/null 9>&- || true
            [[ -f "$WINEPREFIX/system.reg" ]] || { echo "winrun: could not create the Wine prefix" >&2; exit 1; }
            touch "$WINEPREFIX/.initialised"
        fi
        ensure_prefix_fonts 9>&-
    ) 9>"$WINEPREFIX.lock"
}

# A copy of prefix SOURCE at TARGET that shares Wine's programs and libraries with it by hard links
# (700 MB that Wine only reads) and copies the registry and every small file, which Wine may rewrite
# in place: a few MB a copy, so that several at once fit on a small disk.
clone_wine_prefix() {
    local source=$1 target=$2
    rm -rf "$target"
    # Hard links need one file system; across two the copy is whole.
    if ! cp -al "$source" "$target" 2>/dev/null; then
        rm -rf "$target"
        cp -a "$source" "$target" || return 1
        return 0
    fi
    target=$(cd "$target" && pwd) || return 1
    (cd "$source" && find . -type f \( -size -64k -o -name '*.reg' -o -name '*.ini' \) -print0 |
        xargs -0 -r cp -a --parents --remove-destination -t "$target") || return 1
}

# Wine's own fonts: Debian installs them in Wine's data folder, but its Wine 8 loads fonts only from
# fontconfig's folders and the prefix's windows\Fonts, so they never show in a prefix. Marlett draws
# the toolkit's caption and close glyphs; it is linked into the prefix. The others are left out on
# purpose: Tahoma and MS Sans Serif would change the face of every dialog.
wine_data_fonts() {
    local folder
    for folder in /usr/share/wine/fonts /usr/lib/wine/../../share/wine/fonts /opt/wine*/share/wine/fonts; do
        [[ -f $folder/marlett.ttf ]] && { echo "$folder"; return 0; }
    done
    return 1
}

# A face that the fallback faces lack (CJK names in the lists) is drawn from this font, through
# Wine's font links: the link names the file and its family.
cjk_font_file=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
cjk_font_link="wqy-microhei.ttc,WenQuanYi Micro Hei"
# The faces that the program's fonts fall back to here: a face the prefix lacks (Arial, Tahoma,
# MS Shell Dlg, Times New Roman, Courier New) becomes Liberation Sans; a request by pitch or family
# alone may get the serif or the fixed one.
cjk_linked_faces=("Liberation Sans" "Liberation Serif" "Liberation Mono")

# Called under the prefix lock, every time: cheap once done.
ensure_prefix_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" source
    if [[ ! -e $fonts/marlett.ttf ]] && source=$(wine_data_fonts); then
        mkdir -p "$fonts" && ln -sfn "$source/marlett.ttf" "$fonts/marlett.ttf"
    fi
    if [[ -f $cjk_font_file && ! -f "$WINEPREFIX/.cjk-font-links" ]]; then
        local wine face linked=1 key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
        wine=$(wine_binary)
        for face in "${cjk_linked_faces[@]}"; do
            "$wine" reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$cjk_font_link" /f >/dev/null 2>&1 || linked=0
        done
        # A link that did not take is tried again at the next call; the program runs without it.
        [[ $linked == 1 ]] && touch "$WINEPREFIX/.cjk-font-links"
    fi
    return 0
}

# The test programs' own prefix settings, once per prefix. Without a window manager Wine waits up to
# two seconds for the manager's answer whenever a managed top-level window is hidden or destroyed, so
# test windows are unmanaged (Wine places them itself). A program listed in managed_test_programs
# keeps managed windows: its tests use the real keyboard, which reaches an unmanaged window unreliably.
managed_test_programs=(toolkit_commandbars_input_test.exe)
ensure_test_wine_settings() {
    (
        flock 9
        if [[ ! -f "$WINEPREFIX/.test-settings" ]]; then
            local wine
            wine=$(wine_binary)
            "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 9>&- || exit 1
            local program
            for program in "${managed_test_programs[@]}"; do
                "$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" \
                    /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1 9>&- || exit 1
            done
            "$(wineserver_binary)" -w 2>/dev/null 9>&- || true
            touch "$WINEPREFIX/.test-settings"
        fi
    ) 9>"$WINEPREFIX.lock"
}

