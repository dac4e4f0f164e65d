# Sourced (bash): the Wine settings under which VornikTool.exe and the
# Windows tests run. A private prefix inside the Windows build folder is
# created once, with the registry settings the program needs.
#
#   . scripts/wine-env.sh && wine build/windows/ui/VornikTool.exe

vornik_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

export WINEPREFIX="$vornik_root/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 932: GetACP() gives 932 under this locale.
export LC_ALL=ja_JP.UTF-8

# The Japanese locale, generated once if the system lacks it (needs root).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    localedef -i ja_JP -c -f UTF-8 -A /usr/share/locale/locale.alias \
        ja_JP.UTF-8 ||
        echo "wine-env.sh: could not generate the ja_JP.UTF-8 locale" >&2
fi

vornik_wine_setup() {
    local log="$WINEPREFIX.log"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine-env.sh: creating the Wine prefix $WINEPREFIX (once)" >&2
    # Every stream is redirected: Wine's background processes would
    # otherwise hold the caller's pipes open.
    {
        wineboot -i &&
        # Without a window manager every window close waits about 2 s.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        # The dialog and menu fonts, in their ASCII and full-width names.
        for face in 'MS UI Gothic' 'MS PGothic' 'ＭＳ Ｐゴシック'; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                /v "$face" /d IPAPGothic /f || return 1
        done &&
        for face in 'MS Gothic' 'ＭＳ ゴシック'; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                /v "$face" /d IPAGothic /f || return 1
        done &&
        wineserver -w
    } </dev/null >"$log" 2>&1 || {
        echo "wine-env.sh: prefix setup failed, see $log" >&2
        return 1
    }
    touch "$WINEPREFIX/.vornik-ready"
}

if [ ! -e "$WINEPREFIX/.vornik-ready" ]; then
    vornik_wine_setup
fi
