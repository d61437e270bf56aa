// Message dialogs through the platform's message box.
#include "msgdlg.h"

namespace comp {

int MessageDlg(const std::string& text, MsgDlgType type, MsgDlgButtons buttons, HWND owner) {
    const char* caption = "Information";
    UINT style = 0;
    switch (type) {
        case MsgDlgType::mtWarning: caption = "Warning"; style = MB_ICONWARNING; break;
        case MsgDlgType::mtError: caption = "Error"; style = MB_ICONERROR; break;
        case MsgDlgType::mtInformation: caption = "Information"; style = MB_ICONINFORMATION; break;
        case MsgDlgType::mtConfirmation: caption = "Confirmation"; style = MB_ICONQUESTION; break;
    }
    switch (buttons) {
        case MsgDlgButtons::mbOK: style |= MB_OK; break;
        case MsgDlgButtons::mbOKCancel: style |= MB_OKCANCEL; break;
        case MsgDlgButtons::mbYesNo: style |= MB_YESNO; break;
        case MsgDlgButtons::mbYesNoCancel: style |= MB_YESNOCANCEL; break;
    }
    const int answer = MessageBoxA(owner, text.c_str(), caption, style);
    return answer == 0 ? IDCANCEL : answer;
}

}  // namespace comp
