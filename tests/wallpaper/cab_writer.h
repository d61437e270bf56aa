// A small cabinet writer for the tests: uncompressed cabinets with what gcab can't make (any stored
// name, attributes and DOS times, links to a previous and a next cabinet).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct CabEntry {
    std::string name;      // stored as given
    std::string content;
    uint16_t attributes = 0x20;
    uint16_t date = 0x2821;  // 1 January 2000
    uint16_t time = 0;       // midnight
};

// What a test cabinet holds: its files, and the cabinets it links to.
struct CabinetContents {
    std::vector<CabEntry> files;
    std::string previousCabinet, previousDisk;  // linked when previousCabinet isn't empty
    std::string nextCabinet, nextDisk;          // linked when nextCabinet isn't empty
    uint16_t setId = 0x1234;
    uint16_t cabinetIndex = 0;
};

// The bytes of a cabinet with one uncompressed folder holding every file.
std::string BuildCabinet(const CabinetContents& contents);
// Writes it to |fileName|.
void WriteCabinet(const std::string& fileName, const CabinetContents& contents);
}  // namespace testing_support
