// Where the stand-in desktop's windows sit on an X display under Wine's X11 driver (unmanaged windows).
// Wine raises an X window when it takes the focus or is created, and never lowers one: the desktop keeps
// itself beneath every other window by raising those again, in their own order, whenever one of its
// windows came up.
#pragma once

#include <windows.h>

namespace desktop {

// The bounds for a control hosted in place on the desktop window: the screen less its bottom pixel row.
// A foreground window that covers the whole screen makes Wine confine the pointer to it (and refuse
// other programs' cursor moves); one row short, the pointer stays free.
RECT HostedControlBounds();

// Turns the window of a control hosted in place on the desktop window into a top-level pop-up of the
// desktop window: Wine gives a child of the desktop window neither activation nor the focus, so a click
// would not give the control the keyboard. Its Direct3D output still reaches the screen. The window is
// given the hosted bounds again (a control may size itself to the screen when it starts).
void MakeFocusable(HWND control);

// Puts |desktop| and then |control| (0 when none) at the bottom of the Z order and raises every other
// visible top-level window above them, bottom first, so that their X windows come back over ours.
// Windows whose program does not answer are left where they are. True when a topmost window was shown
// (one that may come and go meanwhile, a tooltip say: then it is worth doing again a moment later).
bool KeepBeneath(HWND desktop, HWND control);

}  // namespace desktop
