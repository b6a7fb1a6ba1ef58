# Sourced: starts a private Xvfb unless USE_DISPLAY=1 keeps the caller's one;
# SCREEN_SIZE (default 1280x1024) is its screen's size.
# Sets DISPLAY and registers stop_display, which ends Xvfb by its process id,
# and set_window_management, which suits Wine's windows to the display.
XVFB_PID=
start_display() {
    if [ "${USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        return
    fi
    local fdfile
    fdfile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1280x1024}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        echo "Xvfb did not start" >&2
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
}
stop_display() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Wine's X11 driver leaves top-level windows to a window manager and, when it
# hides one (a closing message box or dialog), first waits up to 2 s for the
# manager to confirm the window's state. A private Xvfb has no window
# manager, so Wine manages its windows itself there (it draws their frames)
# instead of waiting for nobody. A caller's display keeps Wine's default. Call with the prefix's environment set (wine-env.sh).
set_window_management() {
    if [ -n "$XVFB_PID" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
    fi
}
