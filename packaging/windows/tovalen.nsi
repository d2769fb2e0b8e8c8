; The Windows installer (make windows): tovalen.exe and the console program
; tovalen-cli.exe into a folder of its own, protected as Program Files is,
; under parents only administrators may change; a Start-menu entry, inbound
; firewall rules for the cameras' answers, and an uninstaller that Windows'
; list of programs offers.
; makensis -DVERSION=... -DCOPYRIGHT=... -DPROGRAM=tovalen.exe -DCLI=tovalen-cli.exe -DICON=tovalen.ico
;          -DOUTFILE=tovalen-setup.exe tovalen.nsi
; A 64-bit installer for the 64-bit program: the 64-bit Program Files,
; registry and system folder are its own, and 32-bit Windows refuses to start
; it.
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovalen"
; Cameras answer to the multicast group, not to the PC, so the firewall's
; allowance for answers to a PC's own multicast does not cover them.
!define FIREWALL_RULE "Tovalen"
!define DISCOVERY_PORT 5414
; Program Files' own protection: SYSTEM and Administrators may change the
; folder, users only read and run what is in it; nothing inherited from the
; folder above. Administrators own it.
!define FOLDER_SECURITY "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICIIO;FA;;;CO)"
; The rights over a folder that let their holder rename or delete it or what
; it holds, or give itself those rights: DELETE, FILE_DELETE_CHILD,
; WRITE_DAC, WRITE_OWNER, GENERIC_ALL. Whoever holds them over a parent can
; move the protected folder away and put another in its place.
!define RENAMING_RIGHTS 0x100D0040
!define TRUSTED_INSTALLER "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"

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
; The account the installer runs as (an administrator), as SID text.
Var installingUser
; The topmost of the folders above $INSTDIR that an install made; the
; uninstaller removes it and those below it, when empty. Kept in the
; uninstall key as CreatedParent.
Var createdParent

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

; Removes the folders above $2 up to $5, the topmost an install made for
; that copy, each only while empty: a file left in one keeps it and those
; above it. A $5 that is not above $2 removes nothing.
Function ${un}RemoveCreatedParents
  ${If} $5 == ""
    Return
  ${EndIf}
  StrLen $6 "$5\"
  StrCpy $7 $2 $6
  ${If} $7 != "$5\"
    Return
  ${EndIf}
  StrCpy $7 $2
  ${Do}
    ${GetParent} $7 $7
    ClearErrors
    RMDir $7
    ${If} ${Errors}
    ${OrIf} $7 == $5
      ${Break}
    ${EndIf}
  ${Loop}
FunctionEnd

; Removes the copy in folder $2: its programs (once both are closed), its
; uninstaller and firewall rules, the folder if nothing else is left, and
; the empty parents its install made when the uninstall key is this copy's.
Function ${un}RemoveCopy
  StrCpy $0 "$2\tovalen.exe"
  Call ${un}WaitUntilClosed
  StrCpy $0 "$2\tovalen-cli.exe"
  Call ${un}WaitUntilClosed
  StrCpy $0 "$2\tovalen.exe"
  Call ${un}RemoveFirewallRule
  StrCpy $0 "$2\tovalen-cli.exe"
  Call ${un}RemoveFirewallRule
  Delete "$2\tovalen.exe"
  Delete "$2\tovalen-cli.exe"
  Delete "$2\uninstall.exe"
  RMDir "$2"
  ReadRegStr $5 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $5 == $2
    ReadRegStr $5 HKLM "${UNINSTALL_KEY}" "CreatedParent"
    Call ${un}RemoveCreatedParents
  ${EndIf}
FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

Function .onInit
  ReadRegStr $previousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  Call FindInstallingUser
FunctionEnd

; $R1: the text (S-1-...) of the SID at $R0; empty when it does not convert.
Function SidText
  Push $0
  Push $1
  StrCpy $R1 ""
  System::Call 'advapi32::ConvertSidToStringSidW(p R0, *p .r0) i .r1'
  ${If} $1 != 0
    System::Call 'kernel32::lstrcpynW(w .R1, p r0, i ${NSIS_MAX_STRLEN})'
    System::Call 'kernel32::LocalFree(p r0)'
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function FindInstallingUser
  StrCpy $installingUser ""
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  ; TOKEN_QUERY
  System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r1) i .r0'
  ${If} $0 != 0
    System::Alloc 1024
    Pop $2
    ; TokenUser: a TOKEN_USER, whose first member points at the SID.
    System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r2, i 1024, *i .r3) i .r0'
    ${If} $0 != 0
      System::Call '*$2(p .R0)'
      Call SidText
      StrCpy $installingUser $R1
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
FunctionEnd

; $R4: 1 when the SID text $R1 is an administrator's: SYSTEM, Administrators,
; TrustedInstaller, or the administrator installing (whose own unelevated
; programs could elevate anyway). CREATOR OWNER in an access list that
; applies grants nothing, and OWNER RIGHTS the owner, whose SID is checked
; on its own.
Function IsAdministrativeSid
  StrCpy $R4 0
  ${If} $R1 == ""
    Return
  ${EndIf}
  ${If} $R1 == "S-1-5-18"
  ${OrIf} $R1 == "S-1-5-32-544"
  ${OrIf} $R1 == "${TRUSTED_INSTALLER}"
  ${OrIf} $R1 == $installingUser
  ${OrIf} $R1 == "S-1-3-0"
  ${OrIf} $R1 == "S-1-3-4"
    StrCpy $R4 1
  ${EndIf}
FunctionEnd

; $R5: 1 when only administrators may rename, delete or re-permission the
; existing folder $R7 or what it holds: its owner is one, and no entry of its
; access list that applies to it gives anyone else any of RENAMING_RIGHTS.
; 0 otherwise, and when its protection cannot be read. Uses $5 to $9.
Function IsAdministratorsOnlyFolder
  StrCpy $R5 0
  ; SE_FILE_OBJECT; OWNER and DACL_SECURITY_INFORMATION.
  System::Call 'advapi32::GetNamedSecurityInfoW(w R7, i 1, i 5, *p .R0, p 0, *p .R3, p 0, *p .R2) i .R1'
  ${If} $R1 != 0
    Return
  ${EndIf}
  ; A folder's owner may always change its access list; a folder with no
  ; access list at all lets anyone do anything.
  Call SidText
  Call IsAdministrativeSid
  ${If} $R4 == 1
  ${AndIf} $R3 != 0
    StrCpy $R5 1
    ; The ACL header: revision, padding, size, the number of entries.
    System::Call '*$R3(&i1, &i1, &i2, &i2 .R6)'
    StrCpy $5 0
    ${DoWhile} $5 < $R6
      System::Call 'advapi32::GetAce(p R3, i r5, *p .r6) i .R1'
      ${If} $R1 == 0
        StrCpy $R5 0
        ${Break}
      ${EndIf}
      ; ACE_HEADER (type, flags, size), the access mask, then the SID.
      System::Call '*$6(&i1 .r7, &i1 .r8, &i2, i .r9)'
      ; INHERIT_ONLY_ACE entries are for what is made inside, not for the folder.
      IntOp $8 $8 & 8
      IntOp $9 $9 & ${RENAMING_RIGHTS}
      ${If} $8 == 0
      ${AndIf} $9 != 0
        ; ACCESS_ALLOWED_ACE_TYPE and its CALLBACK variant keep the SID after the mask.
        ${If} $7 == 0
        ${OrIf} $7 == 9
          IntPtrOp $R0 $6 + 8
          Call SidText
          Call IsAdministrativeSid
          ${If} $R4 == 0
            StrCpy $R5 0
            ${Break}
          ${EndIf}
        ; The allowing object entries keep it elsewhere: taken as anyone's.
        ${ElseIf} $7 == 5
        ${OrIf} $7 == 11
          StrCpy $R5 0
          ${Break}
        ${EndIf}
      ${EndIf}
      IntOp $5 $5 + 1
    ${Loop}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p R2)'
FunctionEnd

; $R9: the first existing folder of $INSTDIR and those above it that
; someone other than an administrator may rename, delete or re-permission;
; empty when there is none. An install folder that was there before counts
; too: what a user opened it for before it was protected, the user keeps.
Function FindOpenParent
  StrCpy $R9 ""
  StrCpy $R8 $INSTDIR
  ${Do}
    ; "C:" names drive C's current folder, "C:\" its root.
    StrCpy $R7 $R8
    StrLen $R6 $R7
    ${If} $R6 == 2
      StrCpy $R7 "$R7\"
    ${EndIf}
    System::Call 'kernel32::GetFileAttributesW(w R7) i .R6'
    ${If} $R6 != -1
      Call IsAdministratorsOnlyFolder
      ${If} $R5 == 0
        StrCpy $R9 $R7
        ${Break}
      ${EndIf}
    ${EndIf}
    ${GetParent} $R8 $R8
  ${LoopUntil} $R8 == ""
FunctionEnd

; An all-users install trusts its folder as far as its parents: whoever may
; rename one can move the protected folder away and put a tovalen.exe of
; their own where the Start-menu entry of every user points.
Function RefuseOpenParent
  MessageBox MB_OK|MB_ICONSTOP "不能安装到 $INSTDIR：文件夹 $R9 允许非管理员用户改名、删除或更改权限，他们可借此把 Tovalen 换成其他程序，而所有用户都从开始菜单启动它。请选择只有管理员能更改的文件夹，例如 $PROGRAMFILES64\Tovalen。" /SD IDOK
  Abort "$R9 允许非管理员用户更改，安装已取消。"
FunctionEnd

; Tovalen gets a folder of its own, so that installing never overwrites, and
; uninstalling never deletes, another program's files: the folder of the last
; install, a new or empty one, or else a Tovalen folder inside the one chosen;
; and only under parents that administrators alone may change.
Function ChooseOwnFolder
  ${If} $INSTDIR != $previousFolder
    Call IsFreeFolder
    ${If} $0 == 0
      StrCpy $INSTDIR "$INSTDIR\Tovalen"
      Call IsFreeFolder
    ${EndIf}
    ${If} $0 == 0
      MessageBox MB_OK|MB_ICONSTOP "$INSTDIR 已有其他文件。请选择一个空文件夹。" /SD IDOK
      Abort
    ${EndIf}
  ${EndIf}
  Call FindOpenParent
  ${If} $R9 != ""
    Call RefuseOpenParent
  ${EndIf}
FunctionEnd

; Makes the folder $R7 with Program Files' protection from its first
; moment: made first and protected after, it would for that moment have what
; it inherits, which in C:\ lets every user open it for renaming, and keep
; what they opened. $R6: 0 when it could not be made.
Function MakeProtectedFolder
  StrCpy $R6 0
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_SECURITY}", i 1, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    Return
  ${EndIf}
  ; SECURITY_ATTRIBUTES, laid out as 64-bit Windows has it: its size, the
  ; descriptor, no inheritable handle.
  System::Call '*(i 24, i 0, p r1, i 0, i 0) p .r2'
  System::Call 'kernel32::CreateDirectoryW(w R7, p r2) i .R6'
  System::Free $2
  System::Call 'kernel32::LocalFree(p r1)'
FunctionEnd

; Makes the folders missing above $INSTDIR, topmost first, each protected
; as the install folder is (one made in C:\ would otherwise let every user
; rename it), and names the topmost in $createdParent.
Function MakeParents
  StrCpy $5 0
  StrCpy $R8 $INSTDIR
  ${Do}
    ${GetParent} $R8 $R8
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    System::Call 'kernel32::GetFileAttributesW(w R8) i .R6'
    ${If} $R6 != -1
      ${Break}
    ${EndIf}
    Push $R8
    IntOp $5 $5 + 1
  ${Loop}
  ${DoWhile} $5 > 0
    Pop $R7
    IntOp $5 $5 - 1
    Call MakeProtectedFolder
    ${If} $R6 == 0
      Abort "无法创建 $R7。"
    ${EndIf}
    ${If} $createdParent == ""
      StrCpy $createdParent $R7
    ${EndIf}
  ${Loop}
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

; Gives the folder $R7 Program Files' protection whatever folder it lies in:
; a folder such as C:\Tovalen would otherwise let every user change the
; program. What was there before, inherited or not, goes, owner included.
Function ProtectFolder
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_SECURITY}", i 1, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    Abort "无法设置 $R7 的权限。"
  ${EndIf}
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r2, *i .r4) i .r0'
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r4, *p .r3, *i .r4) i .r0'
  ; SE_FILE_OBJECT; OWNER, DACL and PROTECTED_DACL_SECURITY_INFORMATION.
  System::Call 'advapi32::SetNamedSecurityInfoW(w R7, i 1, i 0x80000005, p r2, p 0, p r3, p 0) i .r0'
  System::Call 'kernel32::LocalFree(p r1)'
  ${If} $0 != 0
    Abort "无法设置 $R7 的权限（错误 $0）。"
  ${EndIf}
FunctionEnd

; Adds the inbound firewall rule for the program $0: UDP to the discovery
; port, on every network profile: a camera switch without internet is a
; Public network, where Windows' first-start question allows nothing by
; default.
Function AddFirewallRule
  Call RemoveFirewallRule
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$0" protocol=UDP localport=${DISCOVERY_PORT} profile=any'
  Pop $1
  ${If} $1 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "无法添加防火墙规则（$1）：请在 Windows 防火墙中允许 $0 接收 UDP 端口 ${DISCOVERY_PORT}。" /SD IDOK
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  Call ChooseOwnFolder  ; again: a silent install has no directory page
  StrCpy $0 "$INSTDIR\tovalen.exe"
  Call WaitUntilClosed
  StrCpy $0 "$INSTDIR\tovalen-cli.exe"
  Call WaitUntilClosed
  ; A reinstall in place keeps what its first install made.
  ${If} $INSTDIR == $previousFolder
    ReadRegStr $createdParent HKLM "${UNINSTALL_KEY}" "CreatedParent"
  ${EndIf}
  ; One copy: a reinstall into another folder takes the last one away.
  ${If} $previousFolder != ""
  ${AndIf} $previousFolder != $INSTDIR
    StrCpy $2 $previousFolder
    Call RemoveCopy
  ${EndIf}

  Call MakeParents
  ; Again, now that every parent exists: one made by someone else since the
  ; check counts too.
  Call FindOpenParent
  ${If} $R9 != ""
    StrCpy $2 $INSTDIR
    StrCpy $5 $createdParent
    Call RemoveCreatedParents
    Call RefuseOpenParent
  ${EndIf}
  ; A folder that was there before (empty, or the last install's) gets the
  ; protection afterwards.
  StrCpy $R7 $INSTDIR
  Call MakeProtectedFolder
  Call ProtectFolder
  SetOutPath "$INSTDIR"
  File "/oname=tovalen.exe" "${PROGRAM}"
  File "/oname=tovalen-cli.exe" "${CLI}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tovalen.lnk" "$INSTDIR\tovalen.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tovalen"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovalen.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ${If} $createdParent != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedParent" $createdParent
  ${Else}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "CreatedParent"
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Both programs search, so both hear the cameras' answers.
  StrCpy $0 "$INSTDIR\tovalen.exe"
  Call AddFirewallRule
  StrCpy $0 "$INSTDIR\tovalen-cli.exe"
  Call AddFirewallRule
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
