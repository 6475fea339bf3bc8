; The Windows installer: the panel, varno and the stand-in server with the DLLs they load, the map pictures and the
; Start-menu shortcuts, for the current user (no administrator rights needed). scripts/package-win.sh lays out the
; files and runs makensis with:
;   VERSION   the program's version
;   STAGING   the folder holding the files to install, as installed
;   FILES     an include file with one uninstall line per installed file and folder (made from STAGING)
;   OUTFILE   the installer to write
;   ICON      the program's icon (.ico)
; Silent use: VarnoServer-<version>-setup.exe /S /D=C:\Path (the folder last, unquoted), Uninstall.exe /S.

; A 64-bit installer for 64-bit programs (it also runs where no 32-bit Windows layer is installed, as in a 64-bit-only
; Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Varno Server"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VarnoServer"
; The panel's settings key; the panel reads the installation folder from it and never writes it.
!define SETTINGS_KEY "software\Vrn\ProgramSettings"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\VarnoSrv.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGING}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "The Varno team"

Section "Install"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${STAGING}\*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\VarnoSrv.exe"
    ; The demo profile: the stand-in as the game, seeded on first use in the user's own folder.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Demo.lnk" "$INSTDIR\varno-demo-profile.exe" \
        '"$LOCALAPPDATA\${PRODUCT}\Demo" "$INSTDIR\q3standin.exe" "$INSTDIR\VarnoSrv.exe"' "$INSTDIR\VarnoSrv.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Varno team"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VarnoSrv.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed, file by file, and leaves the settings (software\Vrn) and the demo profile: they are
; the operator's, and a later installation takes them up again.
Section "Uninstall"
    SetShellVarContext current
    !include "${FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Demo.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
