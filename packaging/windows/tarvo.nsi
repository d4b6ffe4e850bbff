; The Windows installer of Tarvo: 64-bit, Czech, per machine into Program Files, with a Start-menu
; entry and an uninstaller that leaves the user's data folder (%APPDATA%\Kolmara\Tarvo) alone.
; Built by scripts/windows/package.sh, which defines VERSION, STAGE (the installed tree), BINDIR
; (the programs' folder inside it, with a trailing backslash, or empty), UNINSTALL_LIST, ICON and
; OUTFILE. "/S" installs and uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh

!define APP "Tarvo"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1029 "ProductName" "${APP}"
VIAddVersionKey /LANG=1029 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "CompanyName" "Kolmara"
VIAddVersionKey /LANG=1029 "FileDescription" "Instalace programu ${APP}"
VIAddVersionKey /LANG=1029 "LegalCopyright" "Kolmara"

!if /FileExists "${ICON}"
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${BINDIR}tarvo.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"

Section "Tarvo"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Odinstalovat.exe"
  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\${BINDIR}tarvo.exe"
  CreateShortcut "$SMPROGRAMS\${APP}\Odinstalovat ${APP}.lnk" "$INSTDIR\Odinstalovat.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Kolmara"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${BINDIR}tarvo.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Odinstalovat.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Odinstalovat.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  Delete "$SMPROGRAMS\${APP}\Odinstalovat ${APP}.lnk"
  RMDir "$SMPROGRAMS\${APP}"
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\Odinstalovat.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
