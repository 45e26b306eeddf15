// Resource ids of the program file, shared by the resource script and the code.
#pragma once

// The icon of the saver's window class and of the file itself.
#define TAVREL_ICON_ID 101
// The configuration dialog's template.
#define TAVREL_DIALOG_ID 103
// The flake picture.
#define TAVREL_FLAKE_BITMAP_ID 112
// The configuration dialog's controls: the two settings check boxes and the flake rate's edit box.
#define TAVREL_GRAVITY_BOX_ID 1001
#define TAVREL_RATE_EDIT_ID 1002
#define TAVREL_TRANSPARENT_BOX_ID 1003
