# Shared by the Windows scripts: where the SDK lives and what it is keyed by.
# Sourced, not run.
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The SDK holds absolute prefixes (pkg-config files, CMake configs, icu-config), so it lives at
# one fixed path.
export WINSDK=${WINSDK:-/opt/tarvo-winsdk}
WINSDK_SHARED=${WINSDK_SHARED:-$REPO/../shared/windows-sdk}

winsdk_packages() {
  echo g++-mingw-w64-x86-64-posix wine64 libz-mingw-w64-dev qt6-base-dev qt6-base-dev-tools \
    cmake ninja-build pkg-config tcl dpkg-dev nsis zip zstd xvfb xdotool fonts-dejavu-core \
    qt6-translations-l10n
}

winsdk_sources() { echo qt6-base icu sqlite3 libzip pugixml googletest; }

# Debian's source packages need deb-src entries beside the binary ones.
winsdk_enable_sources() {
  local f=/etc/apt/sources.list.d/tarvo-winsdk-src.sources
  if [ ! -e "$f" ]; then
    sed -n '/^Types: deb$/,/^$/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
      sed 's/^Types: deb$/Types: deb-src/' >"$f"
    if [ ! -s "$f" ]; then
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' >"$f"
    fi
    apt-get update -qq
  fi
}

# The key changes with the recipe, the compiler and every source version, so an SDK built from
# other sources is never taken for this one.
winsdk_key() {
  {
    cat "$REPO/scripts/windows/sdk.sh" "$REPO/scripts/windows/mingw64.cmake"
    dpkg-query -W g++-mingw-w64-x86-64-posix
    local p
    for p in $(winsdk_sources); do
      echo "$p $(apt-cache showsrc "$p" | sed -n 's/^Version: //p' | sort -V | tail -1)"
    done
  } | sha256sum | cut -c1-16
}
