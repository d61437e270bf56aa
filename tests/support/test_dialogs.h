// The system's own dialogs as a test meets them on its thread (open-file, colour, message boxes): find one
// and answer it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A visible system dialog (class "#32770") of the calling thread, with |caption| when given; 0 when none.
HWND FindThreadDialog(const char* caption = nullptr);
// Types |path| into the open-file dialog of this thread and confirms it; false when there is none.
bool ConfirmOpenDialog(const std::string& path);
// The text of a message box (its static 0xFFFF).
std::string MessageBoxText(HWND box);
// Answers OK to this thread's message box captioned |caption| and gives its text; false when there is none.
bool AnswerMessageBox(const char* caption, std::string& text);

}  // namespace testing_support
