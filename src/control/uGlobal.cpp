// The scene record and its library-level reference.
#include "control/uGlobal.h"

#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable<gTGlobalVars>::value, "the scene record is plain data");

gTGlobalVars* GlobalVars = nullptr;

void InitGlobalVars(gTGlobalVars& g, TFaceArray* faces) {
    GlobalVars = &g;
    std::memset(&g, 0, sizeof g);
    g.LastX = -1;
    g.LastY = -1;
    g.DragSourceFace = -1;
    g.CurrentFace = -1;
    g.Faces = faces;
}
