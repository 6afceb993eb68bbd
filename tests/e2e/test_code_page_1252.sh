#!/bin/bash
# A German package on a German Windows (ANSI code page 1252, OEM 850):
# non-ASCII title, file name, readme and licence, with the catalogue's
# German texts; every name the installation creates reads as written, and
# the uninstaller removes all of it.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
source "$here/code_pages.sh"
use_locale de_DE

L_CODE=de L_CODEPAGE=1252 L_OEM=850
L_TITLE='Träume Über' L_FILE='Träume.scr'
L_README=$'Liesmich: Grüße aus Köln, Straße 5\nZweite Zeile: Äpfel & Öl'
L_LICENSE=$'Lizenz: Sie dürfen es weitergeben.\nGewährleistung: keine.'
L_SETUP=Setup L_README_WORD=Liesmich L_UNINSTALL=Deinstallation L_PREVIEW=Vorschau
L_LICENSE_PAGE=Lizenzvereinbarung
localized_round_trip
