// The control program's hidden window of class "_3DVexlorControlWnd": it answers the 3D control's
// requests (registered messages and WM_COPYDATA).
#pragma once

#include <windows.h>

#include <string>

// The control window, 0 while there is none.
extern HWND ControlWndHandle;

// False when the window can't be made: the control's requests would then reach no one.
bool CreateControlWnd();
void DestroyControlWnd();

LRESULT CALLBACK ControlWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
void HandleCopyData(const COPYDATASTRUCT* data);
void ShowFileProperties(const std::string& path);
// Brings the control's hidden window to the foreground and posts |msg| to it; nothing when it is missing.
void PostToActiveXWnd(UINT msg, WPARAM wParam, LPARAM lParam);

// A face's folder: data folder + "Desktops\" + the number + "\".
std::string FaceFolder(int face);
// The parameters that start the new-shortcut wizard in a face's folder.
std::string NewLinkParameters(int face);

// The shell's file properties sheet (shell32 ordinal 178). Replaceable where the shell shows nothing
// that can be checked (Wine's is a stub).
using FilePropertiesCall = BOOL(WINAPI*)(HWND owner, DWORD type, LPCWSTR object, LPCWSTR page);
extern FilePropertiesCall SHObjectPropertiesCall;
