# Sourced by the scripts: the environment every Wine run of this project uses.
# Expects BUILD_DIR; the prefix lives inside the build tree.
export WINEARCH=win32
export WINEPREFIX="${BUILD_DIR:?}/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 for the product's texts.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
