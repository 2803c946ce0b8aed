; Installer of TarvixUtility and the Peryl plug-in, built by the release packaging:
;   makensis -DARCH=i686|x86_64 -DVERSION=5.0.0.4240 -DDISPLAY_VERSION=5.0.0.04240
;            -DFILES_NSH=product-files.nsh -DOUTFILE=Tarvix-Setup.exe installer.nsi
; Silent use: Tarvix-Setup.exe /S [/D=folder], and Uninstall.exe /S.
Unicode true

!ifndef ARCH | VERSION | DISPLAY_VERSION | FILES_NSH | OUTFILE
  !error "ARCH, VERSION, DISPLAY_VERSION, FILES_NSH and OUTFILE must be defined"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include ${FILES_NSH}

; A 64-bit program belongs in the 64-bit Program Files and registry view; a
; 32-bit installer gets the 32-bit ones by itself on 64-bit Windows.
!if ${ARCH} == x86_64
  Target amd64-unicode
  !define PROGRAMS "$PROGRAMFILES64"
  !define REG_VIEW 64
!else if ${ARCH} == i686
  Target x86-unicode
  !define PROGRAMS "$PROGRAMFILES"
  !define REG_VIEW 32
!else
  !error "ARCH must be i686 or x86_64"
!endif

!define COMPANY "Kelvor Corporation"
!define PRODUCT "Corvane"
!define DISPLAY_NAME "Corvane Tarvix Button Utility and Peryl"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane Tarvix"
!define PLUGINS_KEY "Software\Kelvor Corporation\Plenkit\Plug-ins"
!define SHORTCUT_FOLDER "$SMPROGRAMS\Corvane"
!define SHORTCUT "${SHORTCUT_FOLDER}\Tarvix Button Utility.lnk"

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS}\${COMPANY}\${PRODUCT}"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion ${VERSION}
VIFileVersion ${VERSION}
VIAddVersionKey /LANG=1033 CompanyName "${COMPANY}"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 FileDescription "${DISPLAY_NAME} Setup"
VIAddVersionKey /LANG=1033 FileVersion "${DISPLAY_VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${DISPLAY_VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "${COMPANY}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The running copy applies its changes and closes when asked, so its file can be replaced.
!macro HaltRunningCopy
  ${If} ${FileExists} "$INSTDIR\TarvixUtility.exe"
    ExecWait '"$INSTDIR\TarvixUtility.exe" /Halt'
    Sleep 500
  ${EndIf}
!macroend

; Removes a key of the host's plug-in list path only when nothing is left in it.
!macro DeleteKeyIfEmpty KEY
  ClearErrors
  EnumRegValue $R0 HKLM "${KEY}" 0
  EnumRegKey $R1 HKLM "${KEY}" 0
  ${If} $R0 == ""
  ${AndIf} $R1 == ""
    DeleteRegKey HKLM "${KEY}"
  ${EndIf}
!macroend

Function .onInit
  SetRegView ${REG_VIEW}
  SetShellVarContext all
FunctionEnd

Section "Install"
  !insertmacro HaltRunningCopy
  !insertmacro InstallProductFiles

  ; The settings host loads the plug-ins listed here.
  WriteRegStr HKLM "${PLUGINS_KEY}" "Peryl" "$INSTDIR\Peryl.dll"

  CreateDirectory "${SHORTCUT_FOLDER}"
  SetOutPath "$INSTDIR"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\TarvixUtility.exe" "" "$INSTDIR\TarvixUtility.exe" 0

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${DISPLAY_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TarvixUtility.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView ${REG_VIEW}
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  !insertmacro HaltRunningCopy
  !insertmacro UninstallProductFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"  ; only when empty: files the user put there stay
  ${If} "$INSTDIR" == "${PROGRAMS}\${COMPANY}\${PRODUCT}"
    RMDir "${PROGRAMS}\${COMPANY}"
  ${EndIf}

  ; The plug-in list may by now name another copy of Peryl; that one stays.
  ReadRegStr $0 HKLM "${PLUGINS_KEY}" "Peryl"
  ${If} $0 == "$INSTDIR\Peryl.dll"
    DeleteRegValue HKLM "${PLUGINS_KEY}" "Peryl"
  ${EndIf}
  !insertmacro DeleteKeyIfEmpty "${PLUGINS_KEY}"
  !insertmacro DeleteKeyIfEmpty "Software\Kelvor Corporation\Plenkit"
  !insertmacro DeleteKeyIfEmpty "Software\Kelvor Corporation"

  Delete "${SHORTCUT}"
  RMDir "${SHORTCUT_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
