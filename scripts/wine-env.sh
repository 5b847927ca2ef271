# Sourced by the scripts that run Windows programs: a private wine prefix
# with the 64-bit loader, the Japanese code page and no wine chatter.
# Values already set in the environment win.
_vx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$_vx_root/build/wineprefix}
# The wine wrapper prefers the 32-bit loader, which this kind of kernel
# cannot run; the 64-bit one runs our x86_64 programs.
export WINELOADER=${WINELOADER:-/usr/lib/wine/wine64}
export WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# ANSI code page 932: the library's texts are Shift-JIS.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset _vx_root
