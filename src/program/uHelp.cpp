// Help through HtmlHelpA of the HTML Help control (hhctrl.ocx, bound at load).
#include "uHelp.h"

#include "shared/uPath.h"

#include <htmlhelp.h>

#include <vector>

const char* const kHelpFileName = "_3DVexlorHelp.chm";
const char* const kHelpIndexTopic = "Source\\hlp\\index.html";
const char* const kHelpIndexWindow = "MainWnd";
const char* const kLicenseTopic = "Source\\Lic\\eula.html";
const char* const kLicenseWindow = "LicenseWnd";

static HWND helpOwner = nullptr;

void SetHelpOwner(HWND owner) { helpOwner = owner; }

std::string HelpFilePath() { return GetAppPath() + "\\" + kHelpFileName; }

std::string HelpTopicUrl(const std::string& helpFile, const std::string& topic, const std::string& window) {
    const char* format = "%s::/%s>%s";
    int n = snprintf(nullptr, 0, format, helpFile.c_str(), topic.c_str(), window.c_str());
    if (n <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    snprintf(buffer.data(), buffer.size(), format, helpFile.c_str(), topic.c_str(), window.c_str());
    return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string GetHelpTopicUrl(const std::string& topic, const std::string& window) {
    return HelpTopicUrl(HelpFilePath(), topic, window);
}

void ShowHelpIndex() {
    HtmlHelpA(helpOwner, GetHelpTopicUrl(kHelpIndexTopic, kHelpIndexWindow).c_str(), HH_DISPLAY_TOPIC, 0);
}

void ShowLicenseAgreement() {
    HtmlHelpA(helpOwner, GetHelpTopicUrl(kLicenseTopic, kLicenseWindow).c_str(), HH_DISPLAY_TOPIC, 0);
}

void CloseAllHelp() { HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0); }
