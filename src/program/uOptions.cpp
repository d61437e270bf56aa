// The face picture dialog's opener. The dialog's form is not part of this program yet: the request is
// taken and nothing opens.
#include "uOptions.h"

void ShowFaceOptions() {}
