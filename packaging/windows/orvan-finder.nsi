; Installer of the finder and orvan-scan for 64-bit Windows. make_dist.cmake runs it:
;   makensis -DVERSION=1.2.7 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> [-DFINDER] orvan-finder.nsi
; FINDER is defined when the stage holds orvan_finder.exe (it then gets two Start-menu shortcuts:
; one as the user, one that asks for administrator rights).
; Silent use: setup.exe /S [/D=<folder>] and uninstall.exe /S. While a program of the install runs,
; both refuse (silently: exit status 2) or ask to close it first.
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
!include "FileFunc.nsh"
!include "LogicLib.nsh"
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

; Hello and Bye arrive unsolicited, so Windows Firewall drops them unless an inbound rule lets the
; program have them; the first-run prompt would cover only the network profile of that moment (a
; direct cable to a camera is an unidentified, public network). One rule per program, every
; profile, removed again by the uninstaller. A rule of the same name left by an earlier install
; goes first, so that reinstalling never doubles it.
!macro FirewallRule verb name program
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${name}" program="${program}"'
  Pop $0
  !if "${verb}" == "add"
    nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${name}" dir=in action=allow protocol=UDP program="${program}" profile=any enable=yes'
    Pop $0
    ${If} $0 != 0
      DetailPrint "The firewall rule for ${program} could not be added ($0): see README.txt, Windows."
    ${EndIf}
  !endif
!macroend

; A program file that cannot be opened for writing is one that runs (Windows locks a running
; program's file). Installing over it would leave the old one; uninstalling would leave its files
; while the entry in Apps goes. So neither goes on while one runs: ask to close it, or refuse.
!macro RefuseWhileRunning prefix
  Function ${prefix}RefuseWhileRunning
    retry:
    StrCpy $1 ""
    ${If} ${FileExists} "$INSTDIR\orvan_finder.exe"
      ClearErrors
      FileOpen $0 "$INSTDIR\orvan_finder.exe" a
      ${If} ${Errors}
        StrCpy $1 "the finder"
      ${Else}
        FileClose $0
      ${EndIf}
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\orvan-scan.exe"
      ClearErrors
      FileOpen $0 "$INSTDIR\orvan-scan.exe" a
      ${If} ${Errors}
        ${If} $1 == ""
          StrCpy $1 "orvan-scan"
        ${Else}
          StrCpy $1 "$1 and orvan-scan"
        ${EndIf}
      ${Else}
        FileClose $0
      ${EndIf}
    ${EndIf}
    ${If} $1 != ""
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}: $1 is running from $INSTDIR.$\r$\nClose it, then choose Retry." /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

Function .onInit
  !insertmacro Scope
  ; The folder of an earlier install or /D; one chosen on the directory page is checked again
  ; when the files are written.
  Call RefuseWhileRunning
FunctionEnd
Function un.onInit
  !insertmacro Scope
  Call un.RefuseWhileRunning
FunctionEnd

Section "Install"
  Call RefuseWhileRunning
  SetOutPath "$INSTDIR"
  File "${STAGE}\orvan-scan.exe"
  File "${STAGE}\README.txt"
  !insertmacro FirewallRule add "${PRODUCT} (orvan-scan)" "$INSTDIR\orvan-scan.exe"
!ifdef FINDER
  File "${STAGE}\orvan_finder.exe"
  !insertmacro FirewallRule add "${PRODUCT}" "$INSTDIR\orvan_finder.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\orvan_finder.exe"
  ; The programs ask for no rights of their own, so an administrator runs them filtered and the
  ; finder cannot add its link-local address. This shortcut asks for the rights when started: the
  ; shell link's "run as administrator" flag (SLDF_RUNAS_USER, 0x2000 of the flags at offset 0x14).
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (administrator).lnk" "$INSTDIR\orvan_finder.exe"
  FileOpen $0 "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (administrator).lnk" a
  FileSeek $0 0x15 SET
  FileReadByte $0 $1
  IntOp $1 $1 | 0x20
  FileSeek $0 0x15 SET
  FileWriteByte $0 $1
  FileClose $0
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
  ; Apps shows this size, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro FirewallRule delete "${PRODUCT}" "$INSTDIR\orvan_finder.exe"
  !insertmacro FirewallRule delete "${PRODUCT} (orvan-scan)" "$INSTDIR\orvan-scan.exe"
  ; Only what the installer put there: the folder goes only if nothing else is left in it.
  Delete "$INSTDIR\orvan_finder.exe"
  Delete "$INSTDIR\orvan-scan.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (administrator).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
