// Cursor shapes: the platform's four-arrow cursor, and a drag cursor of our own drawn from a pattern.
#include "cursors.h"

#include "module.h"

#include <cstdint>

namespace comp {

namespace {

// The drag cursor, 32 x 32, hot spot at the arrow's tip: '.' transparent, 'X' black, 'o' white.
const char* const kDragPattern[] = {
    "X...........",
    "XX..........",
    "XoX.........",
    "XooX........",
    "XoooX.......",
    "XooooX......",
    "XoooooX.....",
    "XooooooX....",
    "XoooooooX...",
    "XooooooooX..",
    "XoooooXXXXX.",
    "XooXooX.....",
    "XoX.XooX....",
    "XX..XooX....",
    "X....XooX...",
    ".....XooX...",
    "......XX....",
    "............",
    "........XXXXXXXXXX",
    "........XooooooooX",
    "........XoXXXXXXoX",
    "........XooooooooX",
    "........XoXXXXXXoX",
    "........XooooooooX",
    "........XoXXXXoooX",
    "........XooooooooX",
    "........XXXXXXXXXX",
};

HCURSOR MakeDragCursor() {
    constexpr int kSide = 32, kRowBytes = kSide / 8;
    uint8_t andPlane[kSide * kRowBytes];
    uint8_t xorPlane[kSide * kRowBytes] = {};
    for (uint8_t& b : andPlane) b = 0xFF;  // transparent everywhere but the pattern
    int row = 0;
    for (const char* line : kDragPattern) {
        for (int x = 0; line[x] && x < kSide; ++x) {
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
            uint8_t& a = andPlane[row * kRowBytes + x / 8];
            uint8_t& o = xorPlane[row * kRowBytes + x / 8];
            if (line[x] == 'X') {
                a &= static_cast<uint8_t>(~bit);
            } else if (line[x] == 'o') {
                a &= static_cast<uint8_t>(~bit);
                o |= bit;
            }
        }
        ++row;
    }
    return CreateCursor(ModuleInstance(), 0, 0, kSide, kSide, andPlane, xorPlane);
}

}  // namespace

HCURSOR CursorHandle(TCursor cursor) {
    switch (cursor) {
        case crSizeAll:
            return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL));
        case crDrag: {
            static const HCURSOR drag = MakeDragCursor();  // lives as long as the module
            return drag;
        }
        default:
            return nullptr;
    }
}

}  // namespace comp
