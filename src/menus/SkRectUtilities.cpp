// The rectangle of a bitmap.
#include "menus/SkRectUtilities.h"

RECT GetBitmapRect(const comp::Bitmap* bitmap) {
    if (!bitmap) return RECT{0, 0, 0, 0};
    return RECT{0, 0, bitmap->Width(), bitmap->Height()};
}
