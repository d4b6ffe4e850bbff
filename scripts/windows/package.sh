#!/usr/bin/env bash
# Makes the Windows installer build-win/tarvo-<version>-setup.exe and the portable zip
# build-win/tarvo-<version>-portable.zip from the cross build (scripts/windows/build.sh first).
# Both hold the same files: the installed tree of the build, the DLLs the programs load (found by
# following their imports), the Qt plugins they need, Qt's Czech texts and a qt.conf.
set -euo pipefail
source "$(dirname "$0")/common.sh"
B=$REPO/build-win
STAGE=$B/stage
rm -rf "$STAGE"
cmake --install "$B" --prefix "$STAGE" >/dev/null
exe=$(find "$STAGE" -name tarvo.exe | head -1)
[ -n "$exe" ] || { echo "package: no tarvo.exe in the installed tree" >&2; exit 1; }
bin=$(dirname "$exe")

# Qt looks for its plugins and translations relative to the program's folder.
mkdir -p "$bin/plugins/platforms" "$bin/plugins/styles" "$bin/plugins/imageformats" "$bin/translations"
printf '[Paths]\nPrefix = .\n' >"$bin/qt.conf"
cp "$WINSDK/qt/plugins/platforms/qwindows.dll" "$bin/plugins/platforms/"
cp "$WINSDK/qt/plugins/styles/qwindowsvistastyle.dll" "$bin/plugins/styles/"
cp "$WINSDK/qt/plugins/imageformats/qico.dll" "$bin/plugins/imageformats/"
cp /usr/share/qt6/translations/qtbase_cs.qm "$bin/translations/"

# The DLLs every program and plugin imports, followed until nothing new turns up; what none of
# these folders has is Windows' own.
dirs=("$WINSDK/qt/bin" "$WINSDK/deps/bin" "$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | tail -1)"
  /usr/x86_64-w64-mingw32/lib)
while :; do
  added=0
  while read -r dll; do
    [ -e "$bin/$dll" ] && continue
    for d in "${dirs[@]}"; do
      if [ -f "$d/$dll" ]; then cp "$d/$dll" "$bin/"; added=1; break; fi
    done
  done < <(find "$bin" -name '*.exe' -o -name '*.dll' | xargs -r x86_64-w64-mingw32-objdump -p |
    sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
  [ "$added" = 1 ] || break
done
find "$STAGE" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$B/CMakeCache.txt")
setup=$B/tarvo-$version-setup.exe
portable=$B/tarvo-$version-portable.zip
# The uninstaller removes exactly what was installed, never a folder the user chose wholesale.
{
  (cd "$STAGE" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|Delete "$INSTDIR\\|; s|$|"|')
  (cd "$STAGE" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|^|RMDir "$INSTDIR\\|; s|$|"|')
} >"$B/uninstall-files.nsh"
rel=$(realpath --relative-to="$STAGE" "$bin" | sed 's|^\.$||; s|/|\\|g')
rm -f "$setup" "$portable"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$STAGE" -DBINDIR="${rel:+$rel\\}" \
  -DUNINSTALL_LIST="$B/uninstall-files.nsh" -DICON="$REPO/packaging/windows/tarvo.ico" \
  -DOUTFILE="$setup" "$REPO/packaging/windows/tarvo.nsi"
(cd "$STAGE" && zip -qr9 "$portable" .)
echo "$setup"
echo "$portable"
