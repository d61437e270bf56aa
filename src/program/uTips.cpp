// The tip table.
#include "uTips.h"

int CurrentTip = 1;

const std::string& TipText(int number) {
    static const std::string tips[kTipCount] = {
        "Rotating Lunark: Press and Hold Left CTRL then press left mouse button and move mouse.\r\n"
        "Toggle Lunark view (Outside/inside): CTRL+I or CTRL+i\r\n"
        "Toggle Lunark (On/Off): CTRL+H",
        "Hiding or Showing default Windows Icons: Right click on the Lunark and click on 3D Vexlor Options, then "
        "click on Settings tab and Remove or Put check mark beside \"Hide Default Windows Icons\".",
        "Changing Wallpapers on Lunark sides: Right click on the side of Lunark that you want to change wallpaper "
        "on then click on Lunark Properties, and then click on browse button. Now browse and select the picture "
        "you wish to use. (Jpg and Bmp files are accepted)",
        "Managing Icons: To put any icon, file or folder on the Lunark right click on it then point on Icon "
        "Manager then on the desktop number.\r\n"
        "Tips: Lunark desktop icons are stored in folder: \"C:\\Documents and Settings\\%your user "
        "name%\\Application Data\\Pellomar\\3D Vexlor\\Desktops\". Folders named 1, 2, 3, 4, 5, and 6. You can "
        "copy any items, icons or files to these folders and then access them on the Lunark."};
    static const std::string none;
    return number >= 1 && number <= kTipCount ? tips[number - 1] : none;
}
