#!/usr/bin/env bash
# Cross-builds the image and sound dependencies (zlib, libpng, libjpeg-turbo,
# libogg, libvorbis with vorbisfile) for one Windows target from Debian's
# source packages, patched by dpkg-source, into build/deps/<target>.
# Usage: scripts/build-deps.sh i686|x86_64
# Does nothing when the prefix is already complete.
set -euo pipefail
arch=${1:?usage: build-deps.sh i686|x86_64}
root=$(cd "$(dirname "$0")/.." && pwd)
srcdir=$root/build/deps/src
prefix=$root/build/deps/$arch
work=$root/build/deps/work-$arch
toolchain=$root/cmake/mingw-$arch.cmake
stamp=$prefix/.complete

# Debian source packages and the folders dpkg-source unpacks them into.
PACKAGES=(zlib/bookworm libpng1.6/bookworm libjpeg-turbo/bookworm libogg/bookworm libvorbis/bookworm)

[ -f "$stamp" ] && exit 0

fetch_sources() {
  mkdir -p "$srcdir"
  cd "$srcdir"
  if ! ls ./*.dsc >/dev/null 2>&1 || [ "$(ls ./*.dsc | wc -l)" -lt ${#PACKAGES[@]} ]; then
    if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      cat > /etc/apt/sources.list.d/vexlo-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
      apt-get update -qq
    fi
    echo "vx: fetching the dependency sources from Debian"
    apt-get source -qq --download-only "${PACKAGES[@]}" >"$srcdir/fetch.log" 2>&1 ||
      { cat "$srcdir/fetch.log"; exit 1; }
  fi
  for dsc in ./*.dsc; do
    dir=$(basename "$dsc" .dsc | sed -E 's/_([^-]*)(-.*)?$/-\1/')
    [ -d "$dir" ] || dpkg-source -q -x "$dsc" "$dir" >/dev/null
  done
}

cmake_build() { # name source-dir [cmake args...]
  local name=$1 src=$2; shift 2
  cmake -S "$src" -B "$work/$name" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVEXLO_DEPS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >"$work/$name.log" 2>&1 \
    || { tail -30 "$work/$name.log"; exit 1; }
}

fetch_sources
mkdir -p "$work" "$prefix/lib" "$prefix/include"
src() { ls -d "$srcdir"/"$1"-[0-9]* | head -n1; }

# zlib: only the static library; its DLL step needs a resource compiler setup we do not use.
cmake_build zlib "$(src zlib)"
cmake --build "$work/zlib" --target zlibstatic >>"$work/zlib.log" 2>&1
cp "$work/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
cp "$(src zlib)/zlib.h" "$work/zlib/zconf.h" "$prefix/include/"

cmake_build png "$(src libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
cmake --build "$work/png" --target install >>"$work/png.log" 2>&1

cmake_build jpeg "$(src libjpeg-turbo)" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
cmake --build "$work/jpeg" --target install >>"$work/jpeg.log" 2>&1

cmake_build ogg "$(src libogg)" -DBUILD_SHARED_LIBS=OFF -DINSTALL_DOCS=OFF
cmake --build "$work/ogg" --target install >>"$work/ogg.log" 2>&1

cmake_build vorbis "$(src libvorbis)" -DBUILD_SHARED_LIBS=OFF -DCMAKE_PREFIX_PATH="$prefix"
cmake --build "$work/vorbis" --target install >>"$work/vorbis.log" 2>&1

# Record the versions for the README and the build log.
(cd "$srcdir" && ls ./*.dsc | sed 's|^\./||; s|\.dsc$||') > "$prefix/VERSIONS"
touch "$stamp"
echo "vx: dependencies for $arch ready in $prefix"
