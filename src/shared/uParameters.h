// One face's picture parameters, exchanged between the two processes through "Opt.ini" in the data
// folder, section "DESK".
#pragma once

#include <cstdint>
#include <string>

struct TDeskParams {
    int32_t Index = 1;
    uint16_t ResW = 512;
    uint16_t ResH = 512;
    std::string FileName;
    int32_t BKColor = 0xFFFFFF;
    uint8_t bpp = 0;  // 0 stretch, 1 centre, 2 tile
};

// The exchange file: AppDataPath + "Opt.ini".
std::string DeskParamsFileName();

// Missing values read as their defaults; |bpp| changes only when the file holds 0, 1 or 2.
void ReadDeskParams(int32_t& Index, uint16_t& ResW, uint16_t& ResH, std::string& FileName, int32_t& BKColor,
                    uint8_t& bpp);
// Whether the file holds a picture position (0, 1 or 2); ReadDeskParams gives stretch when it holds none.
bool DeskParamsHoldPosition();
void WriteDeskParams(int32_t Index, uint16_t ResW, uint16_t ResH, const std::string& FileName, int32_t BKColor,
                     uint8_t bpp);
