#!/bin/bash
# A Japanese package on a Japanese Windows (ANSI and OEM code page 932):
# non-ASCII title, file name, readme and licence, with the catalogue's
# Japanese texts; every name the installation creates reads as written, and
# the uninstaller removes all of it. The title ends in 表, whose second byte
# in 932 is the "\" byte, 0x5C, so the installer must treat paths character
# by character.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
source "$here/code_pages.sh"
use_locale ja_JP

L_CODE=ja L_CODEPAGE=932 L_OEM=932
L_TITLE='夜景の表' L_FILE='夢.scr'
L_README=$'お読みください: 夜景のスクリーンセーバー\n二行目: ソフト'
L_LICENSE=$'使用許諾: 自由に配布できます。\n保証はありません。'
L_SETUP=セットアップ L_README_WORD=お読みください L_UNINSTALL=アンインストール
L_PREVIEW=プレビュー L_LICENSE_PAGE=使用許諾契約書
localized_round_trip
