// The settings dialog's opener. The dialog's form is not part of this program yet: the request is
// taken and nothing opens.
#include "u3DVexlorOptions.h"

void Show3DVexlorOptions() {}
