// Resource ids of the program file, shared by the resource script and the code.
#pragma once

// The icon of the saver's window class and of the file itself.
#define TAVREL_ICON_ID 101
// The configuration dialog's template.
#define TAVREL_DIALOG_ID 103
// The flake picture.
#define TAVREL_FLAKE_BITMAP_ID 112
