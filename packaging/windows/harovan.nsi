; The Windows installer: harovan-setup-VERSION.exe. Installs for the user who
; runs it, without administrator rights, into %LOCALAPPDATA%\Programs\Harovan,
; with a Start-menu entry and an entry in the list of installed programs. No
; licence page: the licences of the libraries it carries go into the program
; folder's licenses\, which the help names, as the Debian package keeps them.
; makensis -DVERSION=x.y.z -DSOURCE=<program folder> -DOUTFILE=<setup.exe> harovan.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

Name "Harovan"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Harovan"
InstallDirRegKey HKCU "Software\Harovan" "InstallDir"
BrandingText "Harovan ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Harovan"
!define MUI_ICON "${SOURCE}\harovan.ico"
!define MUI_UNICON "${SOURCE}\harovan.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\harovan.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
; NSIS's Japanese texts give the button in half-width katakana; in full width
; an access key would not fit the button, which Return presses.
UninstallButtonText "アンインストール"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Harovan"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Harovan のセットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "2026 the Harovan developers"

Section "Harovan"
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Harovan.lnk" "$INSTDIR\harovan.exe"
    WriteRegStr HKCU "Software\Harovan" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Harovan"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\harovan.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; The login reminder no longer starts once the program is gone.
    DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Harovan"
    Delete "$SMPROGRAMS\Harovan.lnk"
    ; The user's book, settings and new data files, beside the program or in
    ; %APPDATA%\Harovan: kept unless the user says to remove them.
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "当選した年賀状の記録（atari.db）と設定、ダウンロードしたデータファイルも削除しますか？" \
        /SD IDNO IDNO keep
        Delete "$INSTDIR\atari.db"
        Delete "$INSTDIR\atari.db-wal"
        Delete "$INSTDIR\atari.db-shm"
        Delete "$INSTDIR\settings.ini"
        RMDir /r "$APPDATA\Harovan"
        RMDir /r "$INSTDIR\data"
    keep:
    ; The mark of a running program, left behind when it was ended by force.
    Delete "$INSTDIR\harovan-*.lock"
    ; What the installer put there, and nothing the user added.
    !include "${FILELIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Harovan"
SectionEnd
