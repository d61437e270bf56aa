// Reading and writing the face parameter exchange file.
#include "uParameters.h"

#include "components/inifile.h"
#include "uPath.h"

static const char* const kSection = "DESK";

std::string DeskParamsFileName() { return AppDataPath + "Opt.ini"; }

void ReadDeskParams(int32_t& Index, uint16_t& ResW, uint16_t& ResH, std::string& FileName, int32_t& BKColor,
                    uint8_t& bpp) {
    comp::IniFile ini(DeskParamsFileName());
    Index = ini.ReadInteger(kSection, "Index", 1);
    ResW = static_cast<uint16_t>(ini.ReadInteger(kSection, "ResW", 512) & 0xFFFF);
    ResH = static_cast<uint16_t>(ini.ReadInteger(kSection, "ResH", 512) & 0xFFFF);
    FileName = ini.ReadString(kSection, "FileName", "");
    BKColor = ini.ReadInteger(kSection, "BKColor", 0xFFFFFF);
    int32_t position = ini.ReadInteger(kSection, "bpp", 0);
    if (position >= 0 && position <= 2) bpp = static_cast<uint8_t>(position);
}

bool DeskParamsHoldPosition() {
    const int32_t position = comp::IniFile(DeskParamsFileName()).ReadInteger(kSection, "bpp", -1);
    return position >= 0 && position <= 2;
}

void WriteDeskParams(int32_t Index, uint16_t ResW, uint16_t ResH, const std::string& FileName, int32_t BKColor,
                     uint8_t bpp) {
    comp::IniFile ini(DeskParamsFileName());
    ini.WriteInteger(kSection, "Index", Index);
    ini.WriteInteger(kSection, "ResW", ResW);
    ini.WriteInteger(kSection, "ResH", ResH);
    ini.WriteString(kSection, "FileName", FileName);
    ini.WriteInteger(kSection, "BKColor", BKColor);
    ini.WriteInteger(kSection, "bpp", bpp == 1 || bpp == 2 ? bpp : 0);
}
