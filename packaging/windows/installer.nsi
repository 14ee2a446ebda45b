; SPDX-License-Identifier: MIT
; The installer of Vistameter for Windows, in Chinese: for the user who runs it, with no
; administrator, into %LOCALAPPDATA%\Programs\Vistameter unless the user picks another folder;
; a Start-menu folder with the program and its uninstaller; an entry in Windows' list of
; programs. The uninstaller takes out exactly what the installer put in. /S installs, or
; uninstalls, silently; /D=FOLDER, last on the command line, picks the folder.
; packaging/windows/CMakeLists.txt runs makensis with these defines:
;   VERSION  the program's version        FOLDER  the installed folder to pack
;   FILES    its file list (FileList.cmake)  ICON  the program's icon   OUTFILE  the installer
Unicode true
; 64-bit, as the program is: the 32-bit stub doesn't start under a 64-bit-only Wine.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include "MUI2.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vistameter"
!define MENU "$SMPROGRAMS\Vistameter"

Name "Vistameter"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vistameter"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vistameter ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Vistameter"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Vistameter 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "MIT 许可证"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\vistameter.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section
    SetOutPath "$INSTDIR"
    File /r "${FOLDER}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${MENU}"
    CreateShortcut "${MENU}\Vistameter.lnk" "$INSTDIR\vistameter.exe"
    CreateShortcut "${MENU}\卸载 Vistameter.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vistameter"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vistameter.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KIB}
SectionEnd

Section "Uninstall"
    !insertmacro REMOVE_INSTALLED_FILES
    Delete "$INSTDIR\uninstall.exe"
    ; Only if empty: a folder that holds something of the user's stays.
    RMDir "$INSTDIR"
    Delete "${MENU}\Vistameter.lnk"
    Delete "${MENU}\卸载 Vistameter.lnk"
    RMDir "${MENU}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
