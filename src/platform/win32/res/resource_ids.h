// Resource identifiers of the installer program, shared by setup.rc and the
// code that loads the resources. Plain macros: the resource compiler reads
// this file too.
#pragma once

// The program's icon; the lowest icon id, so the shell shows it for the file.
#define IDI_SETUP_ICON 1
// The folder icon of the destination page.
#define IDI_FOLDER_ICON 2
// The monitor picture of the header band, drawn at two sizes.
#define IDB_HEADER_48 10
#define IDB_HEADER_72 11
