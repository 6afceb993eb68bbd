// Resource identifiers of the installer program, shared by setup.rc and the
// code that loads the resources. Plain macros: the resource compiler reads
// this file too.
#pragma once

// The program's icon; the lowest icon id, so the shell shows it for the file.
#define IDI_SETUP_ICON 1
// The palette the wizard's pictures share, and the pictures (raw data in
// the coding of platform/picture_codes.h): the monitor of the header band
// and the folder of the destination page, each drawn at two sizes.
#define IDR_PICTURE_PALETTE 9
#define IDR_HEADER_48 10
#define IDR_HEADER_72 11
#define IDR_FOLDER_32 12
#define IDR_FOLDER_48 13
