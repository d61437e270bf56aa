// Binding of UpdateLayeredWindow and SetLayeredWindowAttributes by name. The binding runs at first use
// rather than when a library that holds this code is loaded: a DLL must not load libraries while the
// loader calls it.
#include "menus/SkLayeredWindows.h"

namespace {

struct LayeredBinding {
    TUpdateLayeredWindow update = nullptr;
    TSetLayeredWindowAttributes setAttributes = nullptr;
    bool available = false;

    LayeredBinding() {
        HMODULE user32 = LoadLibraryA("user32.dll");
        if (!user32) return;
        update = reinterpret_cast<TUpdateLayeredWindow>(GetProcAddress(user32, "UpdateLayeredWindow"));
        setAttributes =
            reinterpret_cast<TSetLayeredWindowAttributes>(GetProcAddress(user32, "SetLayeredWindowAttributes"));
        // The process links user32.dll: it stays loaded when this reference goes.
        FreeLibrary(user32);
        available = setAttributes != nullptr;
    }
};

const LayeredBinding& Binding() {
    static const LayeredBinding binding;
    return binding;
}

}  // namespace

TUpdateLayeredWindow UpdateLayeredWindowProc() { return Binding().update; }
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc() { return Binding().setAttributes; }
bool LayeredWindowsAvailable() { return Binding().available; }
