// The help file's two pages, shown through the HTML Help control, and closing every help window.
#pragma once

#include <windows.h>

#include <string>

extern const char* const kHelpFileName;    // "_3DVexlorHelp.chm"
extern const char* const kHelpIndexTopic;  // "Source\hlp\index.html"
extern const char* const kHelpIndexWindow; // "MainWnd"
extern const char* const kLicenseTopic;    // "Source\Lic\eula.html"
extern const char* const kLicenseWindow;   // "LicenseWnd"

// The help file beside the program: application folder + "\_3DVexlorHelp.chm".
std::string HelpFilePath();
// "<help file>::/<topic>><window>" for the help file path given (the format "%s::/%s>%s").
std::string HelpTopicUrl(const std::string& helpFile, const std::string& topic, const std::string& window);
std::string GetHelpTopicUrl(const std::string& topic, const std::string& window);

// The window that owns the help windows (the program's hidden main window); 0 when none is set.
void SetHelpOwner(HWND owner);

void ShowHelpIndex();
void ShowLicenseAgreement();
void CloseAllHelp();
