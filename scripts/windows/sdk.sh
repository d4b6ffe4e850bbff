#!/usr/bin/env bash
# Makes the Windows dependency SDK ready in $WINSDK (default /opt/tarvo-winsdk): Qt (Core, Gui,
# Widgets, Network, Test), ICU, SQLite, libzip, pugixml and GoogleTest, cross-built with mingw-w64
# from Debian's own source packages.
#
# Taken, in this order: from $WINSDK when its KEY matches; from
# ../shared/windows-sdk/tarvo-winsdk-<key>.tar.zst when present; else built (about 45 minutes on
# two cores, most of it Qt) and packed as build-winsdk/tarvo-winsdk-<key>.tar.zst.
#
#   scripts/windows/sdk.sh          make it ready
#   scripts/windows/sdk.sh --key    print the key only
set -euo pipefail
source "$(dirname "$0")/common.sh"

export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC2046
if ! dpkg-query -W $(winsdk_packages) >/dev/null 2>&1; then
  apt-get update -qq
  apt-get install -y -qq $(winsdk_packages) >/dev/null
fi
winsdk_enable_sources
KEY=$(winsdk_key)
if [ "${1:-}" = --key ]; then
  echo "$KEY"
  exit 0
fi
if [ "$(cat "$WINSDK/KEY" 2>/dev/null)" = "$KEY" ]; then
  echo "Windows SDK $KEY ready in $WINSDK"
  exit 0
fi
PACK=tarvo-winsdk-$KEY.tar.zst
rm -rf "$WINSDK"
mkdir -p "$WINSDK"
if [ -f "$WINSDK_SHARED/$PACK" ]; then
  tar -C "$WINSDK" --zstd -xf "$WINSDK_SHARED/$PACK"
  [ "$(cat "$WINSDK/KEY")" = "$KEY" ] || { echo "$PACK holds another SDK" >&2; exit 1; }
  echo "Windows SDK $KEY unpacked from $WINSDK_SHARED/$PACK"
  exit 0
fi

echo "Building the Windows SDK $KEY (about 45 minutes on two cores)"
TC=$REPO/scripts/windows/mingw64.cmake
S=$REPO/build-winsdk/src
rm -rf "$S"
mkdir -p "$S"
cd "$S"
# shellcheck disable=SC2046
apt-get source -qq $(winsdk_sources) >/dev/null 2>&1
src() { find "$S" -maxdepth 1 -type d -name "$1-[0-9]*" | head -1; }
JOBS=$(nproc)

cmake_x() {
  cmake -G Ninja -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$TC" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$WINSDK/deps" "${@:3}" >/dev/null
  nice -n 10 ninja -C "$2" install >/dev/null
}
mkdir -p "$WINSDK/deps/lib/pkgconfig" "$WINSDK/deps/include" "$WINSDK/deps/bin"

# SQLite: the amalgamation is generated natively, then compiled for Windows.
mkdir b-sqlite
SQLITE=$(src sqlite3)
(cd b-sqlite && "$SQLITE/configure" --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
x86_64-w64-mingw32-gcc-posix -O2 -c b-sqlite/sqlite3.c -o b-sqlite/sqlite3.o -DSQLITE_THREADSAFE=1 \
  -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_MATH_FUNCTIONS
x86_64-w64-mingw32-ar rcs "$WINSDK/deps/lib/libsqlite3.a" b-sqlite/sqlite3.o
cp b-sqlite/sqlite3.h b-sqlite/sqlite3ext.h "$WINSDK/deps/include/"
printf 'prefix=%s\nName: sqlite3\nDescription: SQLite\nVersion: 3\nLibs: -L${prefix}/lib -lsqlite3\nCflags: -I${prefix}/include\n' \
  "$WINSDK/deps" >"$WINSDK/deps/lib/pkgconfig/sqlite3.pc"

cmake_x "$(src pugixml)" b-pugi -DBUILD_SHARED_LIBS=OFF
cmake_x "$(src libzip)" b-zip -DBUILD_SHARED_LIBS=ON -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
  -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
  -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
cmake_x "$(src googletest)" b-gtest -DBUILD_SHARED_LIBS=OFF

# ICU: Windows' own icu.dll exports only the C API and Wine has none, so it is built and shipped.
# Its tools run natively, so a native build comes first.
ICU=$(src icu)/source
mkdir -p b-icu-native/data/out/tmp b-icu-win/data/out/tmp
(cd b-icu-native && "$ICU/configure" --disable-tests --disable-samples --disable-extras \
  --disable-layoutex --disable-icuio --with-data-packaging=archive >/dev/null &&
  nice -n 10 make -j"$JOBS" >/dev/null)
(cd b-icu-win && "$ICU/configure" --host=x86_64-w64-mingw32 --with-cross-build="$S/b-icu-native" \
  --prefix="$WINSDK/deps" CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
  --disable-tests --disable-samples --disable-extras --disable-layoutex --disable-icuio \
  --disable-tools --enable-shared --disable-static --with-data-packaging=library >/dev/null &&
  nice -n 10 make -j"$JOBS" >/dev/null && make install >/dev/null)

# Windows' ODBC driver manager is odbc32; the project asks pkg-config for "odbc".
printf 'Name: odbc\nDescription: Windows odbc32\nVersion: 3.80\nLibs: -lodbc32\nCflags:\n' \
  >"$WINSDK/deps/lib/pkgconfig/odbc.pc"

# Qt from Debian's qt6-base with Debian's native host tools (moc, rcc, uic). Debian's source lacks
# the wintab headers, hence no tablet events; and DirectWrite 3 needs Direct2D in this Qt.
QT=$(src qt6-base)
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
  "$QT/src/plugins/platforms/windows/qwindowsintegration.cpp"
cmake -G Ninja -S "$QT" -B b-qt -DCMAKE_TOOLCHAIN_FILE="$TC" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$WINSDK/qt" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_openssl=OFF -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF \
  -DFEATURE_androiddeployqt=OFF -DFEATURE_windeployqt=OFF -DFEATURE_macdeployqt=OFF >/dev/null
nice -n 10 ninja -C b-qt -j"$JOBS" >/dev/null
cmake --install b-qt >/dev/null

echo "$KEY" >"$WINSDK/KEY"
mkdir -p "$REPO/build-winsdk"
tar -C "$WINSDK" --zstd -cf "$REPO/build-winsdk/$PACK" .
rm -rf "$S"
echo "Windows SDK $KEY built in $WINSDK and packed as build-winsdk/$PACK"
