#!/bin/bash
# A Russian package on a Russian Windows (ANSI code page 1251, OEM 866):
# non-ASCII title, file name, readme and licence, with the catalogue's
# Russian texts; every name the installation creates reads as written, and
# the uninstaller removes all of it.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
source "$here/code_pages.sh"
use_locale ru_RU

L_CODE=ru L_CODEPAGE=1251 L_OEM=866
L_TITLE='Заставка Ёлка' L_FILE='Ёлка.scr'
L_README=$'Прочтите: зимняя заставка\nВторая строка: ёжик'
L_LICENSE=$'Лицензия: можно распространять.\nГарантий нет.'
L_SETUP=Установка L_README_WORD=Readme L_UNINSTALL=Удалить L_PREVIEW=Просмотр
L_LICENSE_PAGE='Лицензионное соглашение'
localized_round_trip
