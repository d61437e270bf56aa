// The settings dialog's opener.
#pragma once

// Opens the settings dialog (the control's "_3D_Options" and the tray menu's "3D Vexlor Options").
void Show3DVexlorOptions();
