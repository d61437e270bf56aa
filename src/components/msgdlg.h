// The component library's message dialog: a modal box of one type (its caption and symbol) with a text
// and a set of buttons, answering the button that closed it.
#pragma once

#include <windows.h>

#include <string>

namespace comp {

enum class MsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum class MsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };

// Shows the box owned by |owner| (nullptr: none) and answers the button pressed as mrOk (IDOK),
// mrCancel (IDCANCEL, also for closing the box), IDYES or IDNO.
int MessageDlg(const std::string& text, MsgDlgType type, MsgDlgButtons buttons, HWND owner = nullptr);

}  // namespace comp
