#!/usr/bin/env bash
# Builds libarchive and liblzma for the Windows cross build (mingw-w64, static), from Debian's own source
# packages: Debian ships neither for mingw. Built once per machine into a cache folder outside every build
# folder (ROMC_MINGW_CACHE, default /var/cache/romcompiler), which later runs reuse; prints the prefix.
#
# The source packages come through apt with a private sources list and private state folders, so the
# machine's own apt sources and lists are never changed. Only what reading ZIP, 7z and gzip needs is
# configured: zlib (deflate, gzip), liblzma (LZMA, LZMA2); no other codec, no programs, no tests.
set -euo pipefail

cache=${ROMC_MINGW_CACHE:-/var/cache/romcompiler}
host=x86_64-w64-mingw32
# The release's own versions (Debian 12 and its updates); the folder says which were built.
prefix="$cache/mingw-libarchive"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
work=$(mktemp -d "$cache/work.XXXXXX")
trap '[ -n "${ROMC_KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

# deb-src lines for the mirror the machine already uses (its deb lines, read, not changed).
# Only the URIs of deb lines count (comments may name other mirrors).
uris=$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
         /etc/apt/sources.list.d/*.list 2>/dev/null | grep -oE 'https?://[^ ]+' || true)
mirror=$(grep -E '/debian/?$' <<<"$uris" | head -n1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
security=$(grep -E '/debian-security/?$' <<<"$uris" | head -n1 || true)
security=${security:-http://deb.debian.org/debian-security}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
cat >"$work/sources.list" <<EOF
deb-src [signed-by=$keyring] ${mirror%/} bookworm main
deb-src [signed-by=$keyring] ${mirror%/} bookworm-updates main
deb-src [signed-by=$keyring] ${security%/} bookworm-security main
EOF
apt_private=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
             -o APT::Sandbox::User=root)
apt-get "${apt_private[@]}" update >"$work/apt-update.log"
(cd "$work" && apt-get "${apt_private[@]}" source --only-source libarchive xz-utils >"$work/apt-source.log")

stage="$work/prefix"
jobs=${ROMC_MINGW_JOBS:-2}

# liblzma alone: no xz programs, no scripts, no documents, no translations.
xz_source=$(find "$work" -maxdepth 1 -type d -name 'xz-utils-*' | head -n1)
(cd "$xz_source" &&
   ./configure --host=$host CC=$host-gcc-posix --prefix="$stage" --enable-static --disable-shared \
     --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo --disable-lzma-links \
     --disable-scripts --disable-doc --disable-nls --disable-threads >"$work/xz-configure.log" &&
   make -C src/liblzma -j"$jobs" install >"$work/xz-build.log")

libarchive_source=$(find "$work" -maxdepth 1 -type d -name 'libarchive-*' | head -n1)
cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER $host-gcc-posix)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host $stage)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
# zlib is the static one of the mingw packages, built without WINAPI calls (a test that would run a
# Windows program while configuring).
off=(ENABLE_TAR ENABLE_CPIO ENABLE_CAT ENABLE_UNZIP ENABLE_TEST ENABLE_INSTALL_TESTS ENABLE_MBEDTLS
     ENABLE_NETTLE ENABLE_OPENSSL ENABLE_LIBB2 ENABLE_LZ4 ENABLE_LZO ENABLE_ZSTD ENABLE_BZip2
     ENABLE_LIBXML2 ENABLE_EXPAT ENABLE_PCREPOSIX ENABLE_PCRE2POSIX ENABLE_LIBGCC ENABLE_CNG ENABLE_XATTR
     ENABLE_ACL ENABLE_ICONV ENABLE_WERROR)
off_flags=()
for option in "${off[@]}"; do off_flags+=("-D$option=OFF"); done
cmake -S "$libarchive_source" -B "$work/libarchive-build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -DENABLE_ZLIB=ON -DENABLE_LZMA=ON \
  -DZLIB_WINAPI=OFF -DZLIB_WINAPI_WITH_LIB=/usr/$host/lib/libz.a -DPOSIX_REGEX_LIB=NONE \
  -DZLIB_LIBRARY=/usr/$host/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$host/include \
  -DLIBLZMA_LIBRARY="$stage/lib/liblzma.a" -DLIBLZMA_INCLUDE_DIR="$stage/include" \
  "${off_flags[@]}" >"$work/libarchive-configure.log" 2>&1 || {
  tail -n 40 "$work/libarchive-configure.log" >&2
  exit 1
}
cmake --build "$work/libarchive-build" --target archive_static -j"$jobs" >"$work/libarchive-build.log"
mkdir -p "$stage/include" "$stage/lib"
cp "$libarchive_source/libarchive/archive.h" "$libarchive_source/libarchive/archive_entry.h" "$stage/include/"
# Named libarchive_static.a on Windows, beside the DLL's import library.
cp "$(find "$work/libarchive-build" -name 'libarchive*.a' -not -name '*.dll.a' | head -n1)" "$stage/lib/libarchive.a"

(cd "$work" && ls ./*.dsc) >"$stage/SOURCES"
rm -rf "$prefix"
mv "$stage" "$prefix"
touch "$prefix/.complete"
echo "$prefix"
