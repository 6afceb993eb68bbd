#!/bin/bash
# Every catalogue translation fits its button or radio button at 144 DPI,
# measured in the wizard's own font on each page of the wizard.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
source "$here/code_pages.sh"
reg_set 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
captions_fit_every_language
