// A rotated copy of a font, for the vertical caption of the side bar.
#pragma once

#include <windows.h>

#include "components/font.h"

// A new font that draws like |font| with its baseline turned |angle| degrees counter-clockwise. The caller
// owns the handle and deletes it (DeleteObject).
HFONT CreateRotatedFont(const comp::Font& font, int angle);

// The logical font CreateRotatedFont makes.
LOGFONTA RotatedLogFont(const comp::Font& font, int angle);
