; The peer installer's side of the like-for-like comparison in bench/run.sh:
; the same small installation the installer's small package makes, step by
; step: the screensaver and its readme, the uninstaller, an uninstall entry
; with the same values, a Start-menu group of three links, a desktop link,
; the remembered file name and the shell's "install" verb. Stored, not
; compressed, and checked at start, as a package with its check block is.
;
;   makensis -DTARGET=amd64-unicode -DNAME=Small -DSCREENSAVER=probe.scr
;            -DREADME=readme.txt -DOUT=peer-setup.exe bench/peer_small.nsi
Unicode true
Target ${TARGET}
SetCompress off
CRCCheck on
Name "${NAME}"
OutFile "${OUT}"
InstallDir "C:\${NAME}"
RequestExecutionLevel admin
ShowInstDetails nevershow

Page directory
Page instfiles

!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Section
  SetOutPath "$INSTDIR"
  File "/oname=probe.scr" "${SCREENSAVER}"
  File "/oname=${NAME} Readme.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall probe.exe"
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$INSTDIR\uninstall probe.exe"'
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" "$INSTDIR\probe.scr"
  WriteRegStr HKLM "${ENTRY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${ENTRY}" "EstimatedSize" 100
  WriteRegDWORD HKLM "${ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${ENTRY}" "NoRepair" 1
  CreateDirectory "$SMPROGRAMS\${NAME}"
  CreateShortcut "$SMPROGRAMS\${NAME}\Preview ${NAME}.lnk" "$INSTDIR\probe.scr"
  CreateShortcut "$SMPROGRAMS\${NAME}\Readme.lnk" "$INSTDIR\${NAME} Readme.txt"
  CreateShortcut "$SMPROGRAMS\${NAME}\Uninstall ${NAME}.lnk" "$INSTDIR\uninstall probe.exe"
  CreateShortcut "$DESKTOP\Preview ${NAME}.lnk" "$INSTDIR\probe.scr"
  WriteRegStr HKCU "Software\Lumivane\${NAME}" "FileName_" "$INSTDIR\probe.scr"
  ExecShell "install" "$INSTDIR\probe.scr"
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\probe.scr"
  Delete "$INSTDIR\${NAME} Readme.txt"
  Delete "$INSTDIR\uninstall probe.exe"
  RMDir "$INSTDIR"
SectionEnd
