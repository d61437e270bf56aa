// Desktop page reading.
#include "desktop_page.h"

#include "components/com_server.h"

#include <algorithm>
#include <cctype>

static std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool IsHtmlFile(const std::string& name) {
    std::string n = Lower(name);
    auto endsWith = [&](const char* tail) {
        size_t t = strlen(tail);
        return n.size() >= t && n.compare(n.size() - t, t, tail) == 0;
    };
    return endsWith(".htm") || endsWith(".html");
}

bool FindObjectClassId(const std::string& html, CLSID& clsid) {
    std::string text = Lower(html);
    size_t pos = 0;
    while ((pos = text.find("<object", pos)) != std::string::npos) {
        size_t end = text.find('>', pos);
        if (end == std::string::npos) return false;
        size_t attr = text.find("classid", pos);
        size_t value = attr < end ? text.find("clsid:", attr) : std::string::npos;
        if (value != std::string::npos && value < end) {
            size_t i = value + 6;
            while (i < end && (text[i] == ' ' || text[i] == '{')) ++i;
            if (i + 36 <= end && comp::StringToGuid("{" + html.substr(i, 36) + "}", clsid)) return true;
        }
        pos = end;
    }
    return false;
}
