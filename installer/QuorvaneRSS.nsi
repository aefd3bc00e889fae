; The QuorvaneRSS installer (makensis; scripts/package passes the defines).
;
;   makensis -DVERSION=1.0.0.1 -DWIN64_DIR=... -DWIN32_DIR=... -DOUT_FILE=... QuorvaneRSS.nsi
;
; WIN64_DIR and WIN32_DIR each hold QuorvaneSidebar.exe,
; QuorvaneSidebarRegistrar.dll and QuorvaneRSS.dll of one architecture.
;
; On a 64-bit Windows: the 64-bit sidebar and gadget in Program Files, and
; the 32-bit gadget (with the 32-bit registration object it registers with)
; in x86\ beside them, for 32-bit hosts. On a 32-bit Windows: the 32-bit
; sidebar and gadget only. Every DLL is registered by the regsvr32 of its
; own bitness, the registration objects before the gadgets. COM
; registration is machine-wide, hence administrator rights.
;
; Command line: /S silent, /AUTOSTART start the sidebar at logon (the
; current user's Run key), /D=DIR the folder.

Unicode true
SetCompressor /SOLID lzma

!macro Required NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: scripts/package passes VERSION, WIN64_DIR, WIN32_DIR and OUT_FILE"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required WIN64_DIR
!insertmacro Required WIN32_DIR
!insertmacro Required OUT_FILE

; The version is the module's own: the VERSIONINFO of the DLL being shipped.
!getdllversion "${WIN64_DIR}/QuorvaneRSS.dll" MODULE_VERSION_
!if "${MODULE_VERSION_1}.${MODULE_VERSION_2}.${MODULE_VERSION_3}.${MODULE_VERSION_4}" != "${VERSION}"
  !error "QuorvaneRSS.dll says version ${MODULE_VERSION_1}.${MODULE_VERSION_2}.${MODULE_VERSION_3}.${MODULE_VERSION_4}, not ${VERSION}"
!endif
!getdllversion "${WIN32_DIR}/QuorvaneRSS.dll" MODULE32_VERSION_
!if "${MODULE32_VERSION_1}.${MODULE32_VERSION_2}.${MODULE32_VERSION_3}.${MODULE32_VERSION_4}" != "${VERSION}"
  !error "the 32-bit QuorvaneRSS.dll is not version ${VERSION}"
!endif

!define PRODUCT "QuorvaneRSS"
!define PUBLISHER "The QuorvaneRSS developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorvaneRSS"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "QuorvaneRSS Sidebar"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include nsDialogs.nsh

Var AutoStart
Var AutoStartBox

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
Page custom AutoStartPage AutoStartPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\QuorvaneSidebar.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start the sidebar now"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; regsvr32 of the DLL's own bitness, silent; an exit code other than 0
; ends the installation with the DLL's name.
!macro Register REGSVR DLL
  DetailPrint "Registering ${DLL}"
  ExecWait '"${REGSVR}" /s "${DLL}"' $0
  ${If} $0 != 0
    Abort "Registering ${DLL} failed (regsvr32 exit code $0)."
  ${EndIf}
!macroend

; Removal goes on whatever regsvr32 says: the files go in any case.
!macro Unregister REGSVR DLL
  ${If} ${FileExists} "${DLL}"
    DetailPrint "Unregistering ${DLL}"
    ExecWait '"${REGSVR}" /u /s "${DLL}"' $0
    ${If} $0 != 0
      DetailPrint "regsvr32 /u ${DLL}: exit code $0"
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  StrCpy $AutoStart 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    StrCpy $AutoStart 1
  ${EndIf}
  ; $INSTDIR is already set when /D= was given.
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Function AutoStartPage
  !insertmacro MUI_HEADER_TEXT "Start at logon" "Whether the sidebar starts when you log on."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "&Start the QuorvaneRSS sidebar when I log on"
  Pop $AutoStartBox
  ${If} $AutoStart == 1
    ${NSD_Check} $AutoStartBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function AutoStartPageLeave
  ${NSD_GetState} $AutoStartBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AutoStart 1
  ${Else}
    StrCpy $AutoStart 0
  ${EndIf}
FunctionEnd

Section "QuorvaneRSS"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${WIN64_DIR}/QuorvaneSidebar.exe"
    File "${WIN64_DIR}/QuorvaneSidebarRegistrar.dll"
    File "${WIN64_DIR}/QuorvaneRSS.dll"
    SetOutPath "$INSTDIR\x86"
    File "${WIN32_DIR}/QuorvaneSidebarRegistrar.dll"
    File "${WIN32_DIR}/QuorvaneRSS.dll"
    SetOutPath "$INSTDIR"
  ${Else}
    File "${WIN32_DIR}/QuorvaneSidebar.exe"
    File "${WIN32_DIR}/QuorvaneSidebarRegistrar.dll"
    File "${WIN32_DIR}/QuorvaneRSS.dll"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The registration objects first: each gadget registers itself with the
  ; one of its own bitness.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    !insertmacro Register "$WINDIR\System32\regsvr32.exe" "$INSTDIR\QuorvaneSidebarRegistrar.dll"
    ${EnableX64FSRedirection}
    !insertmacro Register "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\QuorvaneSidebarRegistrar.dll"
    ${DisableX64FSRedirection}
    !insertmacro Register "$WINDIR\System32\regsvr32.exe" "$INSTDIR\QuorvaneRSS.dll"
    ${EnableX64FSRedirection}
    !insertmacro Register "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\QuorvaneRSS.dll"
  ${Else}
    !insertmacro Register "$SYSDIR\regsvr32.exe" "$INSTDIR\QuorvaneSidebarRegistrar.dll"
    !insertmacro Register "$SYSDIR\regsvr32.exe" "$INSTDIR\QuorvaneRSS.dll"
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\QuorvaneRSS Sidebar.lnk" "$INSTDIR\QuorvaneSidebar.exe" "" "$INSTDIR\QuorvaneSidebar.exe" 0

  ${If} $AutoStart == 1
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\QuorvaneSidebar.exe"'
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\QuorvaneSidebar.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; Everything the installer made; the user's settings in %APPDATA% stay.
Section "Uninstall"
  SetShellVarContext all
  ; The gadgets first: each tells its registration object it is going.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    !insertmacro Unregister "$WINDIR\System32\regsvr32.exe" "$INSTDIR\QuorvaneRSS.dll"
    ${EnableX64FSRedirection}
    !insertmacro Unregister "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\QuorvaneRSS.dll"
    ${DisableX64FSRedirection}
    !insertmacro Unregister "$WINDIR\System32\regsvr32.exe" "$INSTDIR\QuorvaneSidebarRegistrar.dll"
    ${EnableX64FSRedirection}
    !insertmacro Unregister "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\QuorvaneSidebarRegistrar.dll"
  ${Else}
    !insertmacro Unregister "$SYSDIR\regsvr32.exe" "$INSTDIR\QuorvaneRSS.dll"
    !insertmacro Unregister "$SYSDIR\regsvr32.exe" "$INSTDIR\QuorvaneSidebarRegistrar.dll"
  ${EndIf}

  Delete "$INSTDIR\x86\QuorvaneRSS.dll"
  Delete "$INSTDIR\x86\QuorvaneSidebarRegistrar.dll"
  RMDir "$INSTDIR\x86"
  Delete "$INSTDIR\QuorvaneSidebar.exe"
  Delete "$INSTDIR\QuorvaneSidebarRegistrar.dll"
  Delete "$INSTDIR\QuorvaneRSS.dll"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\QuorvaneRSS Sidebar.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ; The registration object's plug-in list, once no plug-in is left in it.
  DeleteRegKey /ifempty HKCU "Software\QuorvaneSidebar\Plugins"
  DeleteRegKey /ifempty HKCU "Software\QuorvaneSidebar"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
