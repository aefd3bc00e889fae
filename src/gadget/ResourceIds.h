#pragma once
// Identifiers of the gadget's resources in the module, shared by the module's
// .rc script and the code that loads them.

// Strings.
#define IDS_PAUSED 102          // "< Paused >": the marker shown while paused
#define IDS_PAUSE 104           // "Pause": the gadget menu's item

// Bitmaps.
#define IDB_TOOLBOX 102         // 16 x 16: the registry's ToolboxBitmap32 names it
#define IDB_TOOLBOX_ALT 103     // the same 16 x 16 bitmap
#define IDB_GADGET_ICON 206     // 32 x 32: the icon handed to the host
#define IDB_BAR_GRADIENT 210    // 4 x 16: background strip of the title and link bars
