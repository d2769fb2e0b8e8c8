; The Windows installer (make windows): tovalen.exe into a folder of its own,
; protected as Program Files is, a Start-menu entry, an inbound firewall rule
; for the cameras' answers, and an uninstaller that Windows' list of programs
; offers.
; makensis -DVERSION=... -DCOPYRIGHT=... -DPROGRAM=tovalen.exe -DICON=tovalen.ico -DOUTFILE=tovalen-setup.exe tovalen.nsi
; A 64-bit installer for the 64-bit program: the 64-bit Program Files,
; registry and system folder are its own, and 32-bit Windows refuses to start
; it.
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovalen"
; Cameras answer to the multicast group, not to the PC, so the firewall's
; allowance for answers to a PC's own multicast does not cover them.
!define FIREWALL_RULE "Tovalen"
!define DISCOVERY_PORT 5414
; Program Files' own protection: SYSTEM and Administrators may change the
; folder, users only read and run what is in it; nothing inherited from the
; folder above. Administrators own it.
!define FOLDER_SECURITY "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICIIO;FA;;;CO)"

Name "Tovalen"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tovalen"
; A reinstall goes where the last install went; /D= on the command line wins.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "Tovalen"
VIAddVersionKey /LANG=2052 "FileDescription" "Tovalen 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${COPYRIGHT}"

; Where the last install went, from the uninstall key; empty when none.
Var previousFolder

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE ChooseOwnFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page starts nothing: the installer runs as administrator, and
; the program, which reads what anyone on the network sends, never should.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Functions the installer and the uninstaller both need, once for each.
!macro SharedFunctions un
; Returns when $0, a tovalen.exe, is not running: a running program's file
; cannot be opened for writing. Otherwise asks the user to close it; gives up
; when the user cancels, and at once when silent.
Function ${un}WaitUntilClosed
  ${Do}
    ${IfNot} ${FileExists} "$0"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $1 "$0" a
    ${IfNot} ${Errors}
      FileClose $1
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tovalen 正在运行（$0）。请关闭它，然后点“重试”。" /SD IDCANCEL IDRETRY +2
    Abort "Tovalen 正在运行，未做任何更改。"
  ${Loop}
FunctionEnd

; Removes the firewall rule of the program $0; other Tovalen rules, such as
; one a user made by hand for a copy of the program elsewhere, stay.
Function ${un}RemoveFirewallRule
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${FIREWALL_RULE}" dir=in program="$0"'
  Pop $1
FunctionEnd

; Removes the copy in folder $2: its program (once it is closed), its
; uninstaller and firewall rule, and the folder if nothing else is left.
Function ${un}RemoveCopy
  StrCpy $0 "$2\tovalen.exe"
  Call ${un}WaitUntilClosed
  Call ${un}RemoveFirewallRule
  Delete "$2\tovalen.exe"
  Delete "$2\uninstall.exe"
  RMDir "$2"
FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

Function .onInit
  ReadRegStr $previousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
FunctionEnd

; Tovalen gets a folder of its own, so that installing never overwrites, and
; uninstalling never deletes, another program's files: the folder of the last
; install, a new or empty one, or else a Tovalen folder inside the one chosen.
Function ChooseOwnFolder
  ${If} $INSTDIR == $previousFolder
    Return
  ${EndIf}
  Call IsFreeFolder
  ${If} $0 == 0
    StrCpy $INSTDIR "$INSTDIR\Tovalen"
    Call IsFreeFolder
  ${EndIf}
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR 已有其他文件。请选择一个空文件夹。" /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

; $0: 1 when $INSTDIR does not exist or is empty, 0 otherwise.
Function IsFreeFolder
  StrCpy $0 1
  FindFirst $1 $2 "$INSTDIR\*.*"
  ${DoWhile} $2 != ""
    ${If} $2 != "."
    ${AndIf} $2 != ".."
      StrCpy $0 0
      ${Break}
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
FunctionEnd

; Gives $INSTDIR Program Files' protection whatever folder it lies in: a
; folder such as C:\Tovalen would otherwise let every user change the program.
; What was there before, inherited or not, goes, owner included.
Function ProtectFolder
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_SECURITY}", i 1, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    Abort "无法设置 $INSTDIR 的权限。"
  ${EndIf}
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r2, *i .r4) i .r0'
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r4, *p .r3, *i .r4) i .r0'
  ; SE_FILE_OBJECT; OWNER, DACL and PROTECTED_DACL_SECURITY_INFORMATION.
  System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000005, p r2, p 0, p r3, p 0) i .r0'
  System::Call 'kernel32::LocalFree(p r1)'
  ${If} $0 != 0
    Abort "无法设置 $INSTDIR 的权限（错误 $0）。"
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  Call ChooseOwnFolder  ; again: a silent install has no directory page
  StrCpy $0 "$INSTDIR\tovalen.exe"
  Call WaitUntilClosed
  ; One copy: a reinstall into another folder takes the last one away.
  ${If} $previousFolder != ""
  ${AndIf} $previousFolder != $INSTDIR
    StrCpy $2 $previousFolder
    Call RemoveCopy
  ${EndIf}

  CreateDirectory "$INSTDIR"
  Call ProtectFolder
  SetOutPath "$INSTDIR"
  File "/oname=tovalen.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tovalen.lnk" "$INSTDIR\tovalen.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tovalen"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovalen.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Inbound UDP to the discovery port for this program, on every network
  ; profile: a camera switch without internet is a Public network, where
  ; Windows' first-start question allows nothing by default.
  StrCpy $0 "$INSTDIR\tovalen.exe"
  Call RemoveFirewallRule
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\tovalen.exe" protocol=UDP localport=${DISCOVERY_PORT} profile=any'
  Pop $1
  ${If} $1 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "无法添加防火墙规则（$1）：请在 Windows 防火墙中允许 Tovalen 接收 UDP 端口 ${DISCOVERY_PORT}。" /SD IDOK
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; What every copy shares goes only with the copy it belongs to.
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $2 $INSTDIR
  Call un.RemoveCopy
  ${If} $3 == $INSTDIR
    Delete "$SMPROGRAMS\Tovalen.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
