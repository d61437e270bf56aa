// The system's common dialogs: the open-file dialog, the same with a picture preview pane beside the
// file list, and the colour dialog. Each runs modally on the calling thread and answers whether the user
// confirmed.
#pragma once

#include <windows.h>

#include <string>
#include <commdlg.h>

namespace comp {

class OpenDialog {
public:
    virtual ~OpenDialog() = default;

    std::string Filter;      // "Description|pattern|..."
    std::string DefaultExt;  // without the dot
    std::string FileName;    // the name the dialog starts with; the chosen file's full path after Execute

    // Runs the dialog owned by |owner|; true when the user confirmed a file.
    bool Execute(HWND owner);

protected:
    virtual void Prepare(OPENFILENAMEA& ofn) {}
};

// The open-file dialog with a preview of the selected picture (bitmap or JPEG) at the right of the list.
class OpenPictureDialog : public OpenDialog {
public:
    OpenPictureDialog() = default;
    ~OpenPictureDialog() override;
    OpenPictureDialog(const OpenPictureDialog&) = delete;
    OpenPictureDialog& operator=(const OpenPictureDialog&) = delete;

protected:
    void Prepare(OPENFILENAMEA& ofn) override;

private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    static void ShowPreview(HWND dialog);
    HGLOBAL template_ = nullptr;  // the preview pane's dialog template
};

class ColorDialog {
public:
    COLORREF Color = 0;     // the starting colour; the chosen one after Execute
    bool FullOpen = false;  // the custom-colour part shown from the start

    bool Execute(HWND owner);
};

}  // namespace comp
