; Installer of the finder and orvan-scan for 64-bit Windows. make_dist.cmake runs it:
;   makensis -DVERSION=1.2.7 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> [-DFINDER] orvan-finder.nsi
; FINDER is defined when the stage holds orvan_finder.exe (it then gets a Start-menu shortcut).
; Silent use: setup.exe /S [/D=<folder>] and uninstall.exe /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Selvani Device Finder"
!define PUBLISHER "Orvan IoT"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvanIoT Finder"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Writing to Program Files and the all-users Start menu needs it. The programs themselves ask for
; nothing: they run with the user's rights, and only adding a link-local address needs more.
RequestExecutionLevel admin

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry and the shortcuts of every user, in the installer and the uninstaller alike.
!macro Scope
  SetRegView 64
  SetShellVarContext all
!macroend
Function .onInit
  !insertmacro Scope
FunctionEnd
Function un.onInit
  !insertmacro Scope
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}\orvan-scan.exe"
  File "${STAGE}\README.txt"
!ifdef FINDER
  File "${STAGE}\orvan_finder.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\orvan_finder.exe"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
!ifdef FINDER
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvan_finder.exe"
!endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there: the folder goes only if nothing else is left in it.
  Delete "$INSTDIR\orvan_finder.exe"
  Delete "$INSTDIR\orvan-scan.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
