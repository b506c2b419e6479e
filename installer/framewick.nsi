; Framewick installer. Installs for the current user or for all users, adds
; a Start-menu entry and an uninstaller. The uninstaller removes what it
; installed and leaves the user's own files (settings.txt, saved captures).
;
; makensis -DARCH=x86 -DBIN=<dir with Framewick.exe> -DOUT=<setup.exe> framewick.nsi
; ARCH is x86 (the shipped 32-bit program) or amd64.

Unicode true
!ifndef ARCH
  !define ARCH x86
!endif
Target ${ARCH}-unicode
!ifndef BIN
  !error "define BIN, the folder that holds Framewick.exe"
!endif
!ifndef OUT
  !error "define OUT, the setup program to write"
!endif

!define APPNAME "Framewick"
; VERSION comes from the build: CMake writes version.nsh beside bin/.
!include "${BIN}/../version.nsh"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewick"

Name "${APPNAME} ${VERSION}"
OutFile "${OUT}"
SetCompressor /SOLID lzma
RequestExecutionLevel user
ShowInstDetails show

; Per user (default, no administrator needed) or per machine (/AllUsers).
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APPNAME}"
!if "${ARCH}" == "amd64"
  !define MULTIUSER_USE_PROGRAMFILES64
!endif
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh

!define MUI_ICON "..\resources\framewick.ico"
!define MUI_UNICON "..\resources\framewick.ico"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${APPNAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APPNAME} installer"
VIAddVersionKey "FileVersion" "${FILE_VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Framewick developers"

; The install mode picks a default folder; a folder given with /D= wins.
Function .onInit
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  StrCmp $0 "" +2
  StrCpy $INSTDIR $0
FunctionEnd

Function un.onInit
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_UNINIT
  StrCmp $0 "" +2
  StrCpy $INSTDIR $0
FunctionEnd

Section "Framewick" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN}\Framewick.exe"
  File "${BIN}\camera.wav"
  File "${BIN}\help.htm"
  File "/oname=README.txt" "..\README.md"
  File "/oname=LICENSE.txt" "..\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${APPNAME}"
  CreateShortcut "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk" "$INSTDIR\Framewick.exe"
  CreateShortcut "$SMPROGRAMS\${APPNAME}\Uninstall ${APPNAME}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "the Framewick developers"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Framewick.exe"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there; settings.txt and captures stay, and
  ; so does the folder when they are in it.
  Delete "$INSTDIR\Framewick.exe"
  Delete "$INSTDIR\camera.wav"
  Delete "$INSTDIR\help.htm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk"
  Delete "$SMPROGRAMS\${APPNAME}\Uninstall ${APPNAME}.lnk"
  RMDir "$SMPROGRAMS\${APPNAME}"
  DeleteRegKey SHCTX "${UNINSTKEY}"
SectionEnd
