; Installer of Кадрикс: per user, no elevation. makensis gets VERSION, PROGRAM_DIR
; (kadrix.exe and sound.wav), ICON and OUTFILE from CMake.
; Silent use: setup.exe /S [/DESKTOP=0|1] [/AUTOSTART=0|1]; without them an upgrade
; keeps the choices of the last installation.
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Tavik Кадрикс"
!define COMPANY "Tavik Software"
!define TITLE "Кадрикс"
!define EXE "kadrix.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TavikKadrix"
!define MAIN_WINDOW_CLASS "TMainForm"
!define SHORTCUT "${TITLE}.lnk"

Name "${TITLE}"
Caption "Установка ${TITLE} ${VERSION}"
UninstallCaption "Удаление ${TITLE}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kadrix"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${TITLE}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить ${TITLE}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${TITLE} будет удалён с компьютера. Сделанные снимки и настройки программы останутся."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"

; A running copy holds its files and the hotkeys: it is asked to close before anything
; is replaced or removed, and nothing is touched when its files stay busy.
!macro DEFINE_CLOSE_RUNNING un
Function ${un}CloseRunningProgram
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${TITLE} сейчас запущен. Он будет закрыт, чтобы продолжить." /SD IDOK IDOK close
    Abort
    close:
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${For} $1 1 50
      FindWindow $0 "${MAIN_WINDOW_CLASS}"
      ${If} $0 = 0
        ${ExitFor}
      ${EndIf}
      Sleep 100
    ${Next}
  ${EndIf}
  ; The process may outlive its window for a moment; its files tell when it is gone.
  StrCpy $1 0
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $2 "$INSTDIR\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $2
      Return
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 50
  MessageBox MB_OK|MB_ICONSTOP "Файл $INSTDIR\${EXE} занят: ${TITLE} не закрывается. Ничего не изменено; закройте программу и повторите попытку." /SD IDOK
  Abort
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING ""
!insertmacro DEFINE_CLOSE_RUNNING "un."

Section "${TITLE}" SecProgram
  SectionIn RO
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}\${EXE}"
  File "${PROGRAM_DIR}\sound.wav"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  ; Shortcuts of components left out this time go; the chosen ones are made below.
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$SMSTARTUP\${SHORTCUT}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "DesktopShortcut" 0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "StartWithWindows" 0
SectionEnd

Section /o "Ярлык на рабочем столе" SecDesktop
  CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

; Started at logon through the Startup folder, whose shortcut carries the minimised show state.
Section "Запускать вместе с Windows" SecAutostart
  CreateShortCut "$SMSTARTUP\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWMINIMIZED
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "StartWithWindows" 1
SectionEnd

Section "-Entry in the installed programs"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Choice of a component: the command line, else the last installation, else the default.
!macro CHOOSE_SECTION section option value_name
  ${GetOptions} $R0 "/${option}=" $R1
  ${If} ${Errors}
    ClearErrors
    ReadRegDWORD $R1 HKCU "${UNINSTALL_KEY}" "${value_name}"
    ${If} ${Errors}
      StrCpy $R1 ""
    ${EndIf}
  ${EndIf}
  ${If} $R1 == "1"
    !insertmacro SelectSection ${section}
  ${ElseIf} $R1 == "0"
    !insertmacro UnselectSection ${section}
  ${EndIf}
!macroend

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  !insertmacro CHOOSE_SECTION ${SecDesktop} DESKTOP DesktopShortcut
  !insertmacro CHOOSE_SECTION ${SecAutostart} AUTOSTART StartWithWindows
FunctionEnd

Section Uninstall
  Call un.CloseRunningProgram
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\sound.wav"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$SMSTARTUP\${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The captures and the options key (HKCU\Software\Tavik Software) belong to the user and stay.
SectionEnd

Function un.onUninstSuccess
  MessageBox MB_OK|MB_ICONINFORMATION "${TITLE} удалён. Ваши снимки и настройки программы сохранены." /SD IDOK
FunctionEnd
