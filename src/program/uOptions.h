// The face picture dialog's opener.
#pragma once

// Opens the face picture dialog for the face the control wrote into "Opt.ini" ("_3D_Gran_Options").
void ShowFaceOptions();
