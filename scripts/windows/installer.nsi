; Koerswacht's Windows installer: per machine into Program Files, a Start-menu shortcut, an
; uninstaller and its entry under Apps / Programs and Features. makensis is run by package.sh,
; which defines VERSION, COMPANY, FILES and UNFILES (what the deployed folder holds, to install and
; to remove), SIZE_KB, LICENSE, ICON and OUTFILE. Silent with /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "x64.nsh"

!define APP "Koerswacht"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; Held by a running Koerswacht; files in use cannot be replaced or removed, so neither the installer
; nor the uninstaller starts while it exists.
!define RUNNING_MUTEX "KoerswachtRunning"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1043 "ProductName" "${APP}"
VIAddVersionKey /LANG=1043 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1043 "FileDescription" "${APP} installatie"
VIAddVersionKey /LANG=1043 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1043 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1043 "LegalCopyright" "Copyright 2002-2026 ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Dutch"

!macro WaitUntilClosed
    again:
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
        IntPtrCmp $0 0 closed
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Koerswacht is nog geopend. Sluit Koerswacht en kies Opnieuw, of kies Annuleren." \
            /SD IDCANCEL IDRETRY again
        SetErrorLevel 2
        Quit
    closed:
!macroend

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "Koerswacht vraagt een 64-bits Windows." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    SetRegView 64
    !insertmacro WaitUntilClosed
FunctionEnd

Function un.onInit
    SetRegView 64
    !insertmacro WaitUntilClosed
FunctionEnd

Section "Koerswacht" Main
    SectionIn RO
    SetShellVarContext all
    ; Over an earlier copy: its own uninstaller removes what it installed first, in place, so that
    ; nothing of the old version stays behind.
    IfFileExists "$INSTDIR\Uninstall.exe" 0 +2
        ExecWait '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\koerswacht.exe" "" "$INSTDIR\koerswacht.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\koerswacht.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${APP}.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
