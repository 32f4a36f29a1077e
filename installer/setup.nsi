; Setup.exe of the Drovessa teachers' client: installs the two programs and what they need at
; run time, and writes what the other programs read (Install_Dir, the delete list, the
; shortcuts, the uninstall entry). Fresh install or update in place; "/S" runs silently.
; Built by installer/CMakeLists.txt with makensis; the defines below come from the build.
; The shipped Setup.exe is 32-bit, as the programs it carries. TARGET_AMD64 makes a 64-bit one
; carrying the 64-bit test build, only for the life-cycle test where i386 code cannot run: a
; 64-bit installer sees the registry's 64-bit view and installs under $PROGRAMFILES64.
!ifdef TARGET_AMD64
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Unicode true
  !define PROGRAM_FILES "$PROGRAMFILES32"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef VERSION | CLIENT_EXE | UNINSTALL_EXE | SKIN_ZIP | ERROR_PAGE | ICON | HELPER | OUT_FILE
  !error "build with -DVERSION -DCLIENT_EXE -DUNINSTALL_EXE -DSKIN_ZIP -DERROR_PAGE -DICON -DHELPER -DOUT_FILE"
!endif

!define PRODUCT_NAME "Drovessa老师端"
!define PUBLISHER "Corvane"
!define CLIENT_KEY "Software\Corvane\Client"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneClient"
!define LIST_NAME "delete_file_list.txt"
!define SETTINGS_NAME "CorvaneClient.ini"
; In the temporary folder: why a silent run changed nothing, and what a run did.
!define LOG_FILE "$TEMP\CorvaneSetup.log"
; The Users group, by its well-known SID, so the grant works in every language of Windows.
!define USERS_SID "*S-1-5-32-545"
; Unloaded after each call ("?u" below), so that NSIS can delete its plug-in folder at the end.
!define HELPER_DLL "$PLUGINSDIR\corvane_setup.dll"

Name "${PRODUCT_NAME}"
; The update cycle downloads and starts the installer as "Setup.exe": that name is fixed.
!pragma warning disable 9000
OutFile "${OUT_FILE}"
; An update goes where the elevated installer put the previous version, never where the
; user-writable Install_Dir points.
InstallDir "${PROGRAM_FILES}\Corvane"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
BrandingText "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "立即运行 ${PRODUCT_NAME}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartClient
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"

; The update cycle compares the file version's most significant word with the client's.
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT_NAME} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "OriginalFilename" "Setup.exe"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© ${PUBLISHER}"

; What is installed, one place for both the files and the delete list. ACTION_DIR comes
; before the files inside that folder.
!macro PAYLOAD ACTION
  !insertmacro ${ACTION}_FILE "CorvaneClient.exe" "${CLIENT_EXE}"
  !insertmacro ${ACTION}_FILE "uninstall.exe" "${UNINSTALL_EXE}"
  !insertmacro ${ACTION}_FILE "skin.zip" "${SKIN_ZIP}"
  !insertmacro ${ACTION}_DIR "error_page"
  !insertmacro ${ACTION}_FILE "error_page\Error.html" "${ERROR_PAGE}"
!macroend

!macro LIST_FILE NAME SOURCE
  FileWrite $R9 "${NAME}$\r$\n"
!macroend
!macro LIST_DIR NAME
  FileWrite $R9 "${NAME}$\r$\n"
!macroend
; NSIS skips a file it cannot write (silently so with /S) and only sets the error flag: the
; first such file is kept in $R7 so that a skipped file is never reported as installed.
!macro INSTALL_FILE NAME SOURCE
  ClearErrors
  File "/oname=$INSTDIR\${NAME}" "${SOURCE}"
  ${If} ${Errors}
  ${AndIf} $R7 == ""
    StrCpy $R7 "$INSTDIR\${NAME}"
  ${EndIf}
!macroend
!macro INSTALL_DIR NAME
  CreateDirectory "$INSTDIR\${NAME}"
!macroend

Var LogHandle
!macro LOG TEXT
  FileOpen $LogHandle "${LOG_FILE}" a
  FileSeek $LogHandle 0 END
  FileWrite $LogHandle `${TEXT}$\r$\n`
  FileClose $LogHandle
!macroend

Function .onInit
  InitPluginsDir
  File "/oname=${HELPER_DLL}" "${HELPER}"
  SetShellVarContext current
  ${If} ${Silent}
    System::Call '${HELPER_DLL}::CorvaneInstallDirAllowed(w "$INSTDIR") i .r0 ?cu'
    ${If} $0 != 1
      !insertmacro LOG "Setup ${VERSION}: nothing changed, the folder $INSTDIR may not hold the installation"
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; The same folders the uninstaller refuses as a base for its deletions.
Function DirectoryLeave
  System::Call '${HELPER_DLL}::CorvaneInstallDirAllowed(w "$INSTDIR") i .r0 ?cu'
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "不能安装到“$INSTDIR”。$\r$\n请选择一个专用的文件夹，例如“${PROGRAM_FILES}\Corvane”；不能是磁盘根目录、系统文件夹、Program Files 本身或用户文件夹。"
    Abort
  ${EndIf}
FunctionEnd

; As the user, not as a child of this elevated installer.
Function StartClient
  System::Call '${HELPER_DLL}::CorvaneStartAsUser(w "$INSTDIR\CorvaneClient.exe") i .r0 ?cu'
FunctionEnd

Section "Install"
  SetShellVarContext current

  ; The list of this version, first: the targets checked below are its entries.
  FileOpen $R9 "$PLUGINSDIR\${LIST_NAME}" w
  !insertmacro PAYLOAD LIST
  FileClose $R9

  ; Nothing is touched unless the client has ended and every target can be written.
  StrCpy $R6 0
  retry:
  System::Call '${HELPER_DLL}::CorvaneWaitUntilReplaceable(w "$INSTDIR", w "$PLUGINSDIR", i 10000, w .r1, i ${NSIS_MAX_STRLEN}) i .r0 ?cu'
  ${If} $0 != 1
    ${If} ${Silent}
      !insertmacro LOG "Setup ${VERSION}: nothing changed, $1 is in use or cannot be written"
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "“$1”正在使用或无法写入。$\r$\n请关闭 ${PRODUCT_NAME} 后点击“重试”，或点击“取消”退出安装（不做任何更改）。" IDRETRY retry
    SetErrorLevel 2
    Quit
  ${EndIf}

  ; The previous version's list, set aside before the new one replaces it.
  ${If} ${FileExists} "$INSTDIR\${LIST_NAME}"
    CreateDirectory "$PLUGINSDIR\previous"
    CopyFiles /SILENT "$INSTDIR\${LIST_NAME}" "$PLUGINSDIR\previous\${LIST_NAME}"
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  StrCpy $R7 ""
  !insertmacro PAYLOAD INSTALL
  ; A file taken between the wait and the write: the whole payload again, a few times silently,
  ; else the teacher decides. The old list stays, so the uninstaller still knows every entry.
  ${If} $R7 != ""
    IntOp $R6 $R6 + 1
    ${If} ${Silent}
      ${If} $R6 < 3
        Sleep 1000
        Goto retry
      ${EndIf}
      !insertmacro LOG "Setup ${VERSION}: incomplete, $R7 could not be written"
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "“$R7”无法写入，安装未完成。$\r$\n请关闭 ${PRODUCT_NAME} 后点击“重试”，或点击“取消”退出安装。" IDRETRY retry
    SetErrorLevel 2
    Quit
  ${EndIf}
  System::Call '${HELPER_DLL}::CorvaneRemoveStale(w "$INSTDIR", w "$PLUGINSDIR\previous", w "$PLUGINSDIR") i .r0 ?cu'
  CopyFiles /SILENT "$PLUGINSDIR\${LIST_NAME}" "$INSTDIR\${LIST_NAME}"

  ; The client runs as the user and keeps its close choice beside itself: the file exists
  ; and the Users group may change it. An update keeps the file and its content.
  ${IfNot} ${FileExists} "$INSTDIR\${SETTINGS_NAME}"
    FileOpen $0 "$INSTDIR\${SETTINGS_NAME}" w
    FileClose $0
  ${EndIf}
  nsExec::ExecToStack '"$SYSDIR\icacls.exe" "$INSTDIR\${SETTINGS_NAME}" /grant ${USERS_SID}:M'
  Pop $0
  Pop $1
  !insertmacro LOG 'Setup ${VERSION}: icacls "$INSTDIR\${SETTINGS_NAME}" /grant ${USERS_SID}:M -> $0'

  WriteRegStr HKCU "${CLIENT_KEY}" "Install_Dir" "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\CorvaneClient.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The places the uninstaller removes them from: the user's desktop and Start menu.
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\${PRODUCT_NAME}.lnk" "$INSTDIR\CorvaneClient.exe" "" "$INSTDIR\CorvaneClient.exe" 0
  CreateDirectory "$STARTMENU\Programs\Corvane"
  CreateShortCut "$STARTMENU\Programs\Corvane\${PRODUCT_NAME}.lnk" "$INSTDIR\CorvaneClient.exe" "" "$INSTDIR\CorvaneClient.exe" 0
  CreateShortCut "$STARTMENU\Programs\Corvane\uninstall.lnk" "$INSTDIR\uninstall.exe" "" "$INSTDIR\uninstall.exe" 0

  !insertmacro LOG "Setup ${VERSION}: installed into $INSTDIR"

  ; The client started this update and ended for it: it comes back, as the user.
  ${If} ${Silent}
    System::Call '${HELPER_DLL}::CorvaneStartedFromUpdateFolder() i .r0 ?cu'
    ${If} $0 == 1
      Call StartClient
      !insertmacro LOG "Setup ${VERSION}: started the updated client (2: through the desktop shell, 1: directly, 0: not) -> $0"
    ${EndIf}
  ${EndIf}
SectionEnd
