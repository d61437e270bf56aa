// The rules of a face desktop that need neither a device nor a window: the item record, the
// directory entry it is made from, the grid of 70-pixel cells and its hit tests, placing items on
// the grid, the sort orders, the point of the cube that a face shows at a texture point, and the
// item positions of the layout file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/inifile.h"

// Item kinds.
constexpr uint8_t lkShortcut = 0;  // a file whose extension is exactly ".lnk"
constexpr uint8_t lkFile = 1;
constexpr uint8_t lkFolder = 2;

// Longest text an item field keeps.
constexpr size_t kLinkTextMax = 255;
std::string CutText(const std::string& text);

// One item of a face. Text fields hold at most kLinkTextMax characters.
struct TLinkRecord {
    std::string Path;          // full path of the folder entry itself
    uint8_t Kind = lkShortcut;
    std::string FileName;      // the entry's name in the face folder: the item's key
    std::string Target;        // a shortcut's target; a file's or folder's own path
    std::string Arguments;     // shortcut only
    std::string Description;   // shortcut only
    std::string WorkDir;       // shortcut only
    std::string IconLocation;  // shortcut only: the file that holds its icon
    std::string Caption;       // drawn under the icon
    int32_t IconIndex = 0;
    int32_t ShowCmd = 0;       // shortcut only
    uint16_t HotKey = 0;       // shortcut only
    int32_t Column = 0;        // grid cell; -1 while unplaced
    int32_t Row = 0;
    int32_t Size = 0;          // low 32 bits of the listed size (0 for folders)
    uint32_t Time = 0;         // listed last-write time, packed DOS date (high word) and time (low word)
};

// One entry of a folder listing.
struct TDirEntry {
    std::string Name;
    DWORD Attributes = 0;
    int32_t Size = 0;
    uint32_t Time = 0;
    bool IsFolder() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};
TDirEntry DirEntryOf(const WIN32_FIND_DATAA& data);
// A file time as the listing reports it: local time, packed in DOS form (2-second steps).
uint32_t DosTimeOf(const FILETIME& utc);

// The text from the last "." of a name on, compared as it is (case-sensitive); "" without a ".".
std::string NameExtension(const std::string& name);
// A name less its extension: "a.b.txt" -> "a.b", ".profile" -> "", "README" -> "README".
std::string NameWithoutExtension(const std::string& name);
// Whether a name may be handed to a delete in the face folder ("", "." and ".." may not).
bool IsDeletableName(const std::string& name);

// ---- the grid

constexpr uint16_t kCellWidth = 70;
constexpr uint16_t kCellHeight = 70;
constexpr uint16_t kIconWidth = 32;
constexpr uint16_t kIconHeight = 32;
constexpr uint16_t kIconLeft = 19;
constexpr uint16_t kIconTop = 9;
constexpr uint16_t kTextMargin = 1;
constexpr uint16_t kTextGap = 2;

struct TCell {
    int32_t Column;
    int32_t Row;
    bool operator==(const TCell& o) const { return Column == o.Column && Row == o.Row; }
    bool operator!=(const TCell& o) const { return !(*this == o); }
};
constexpr TCell kNoCell{-1, -1};

// Whether the cell lies in a grid of |columns| x |rows| cells.
bool InGrid(TCell cell, uint16_t columns, uint16_t rows);
// The cell that holds a texture point (truncating toward zero; not limited to the grid).
TCell CellAtPoint(POINT p);
// The cell whose icon rectangle (one pixel more to the right and below) holds the point; kNoCell
// on a caption, between icons and outside the grid of |columns| x |rows|.
TCell IconCellAtPoint(POINT p, uint16_t columns, uint16_t rows);
// The cell of the item at list position |index| when the grid is filled top to bottom, then left
// to right (column and row counters of 16 bits).
TCell ArrangedCell(size_t index, uint16_t rows);
// The first cell, column by column, that none of |used| holds; kNoCell when there are at least as
// many items (|itemCount|) as cells.
TCell FirstFreeCell(const std::vector<TCell>& used, size_t itemCount, uint16_t columns, uint16_t rows);

// The texture point of a point (x, y, z) on face |face| (1 to 6) of the cube, on a texture of
// width x height, rounded half to even; false (and |point| untouched) for another face number.
bool CubePointToTexture(int face, float x, float y, float z, uint16_t width, uint16_t height, POINT& point);

// ---- sorting

constexpr uint8_t kSortName = 0;
constexpr uint8_t kSortSize = 1;
constexpr uint8_t kSortType = 2;
constexpr uint8_t kSortModified = 3;
// Less-than of the sort order |key| (0 to 3); equal keys are ordered by name. Names compare by
// byte value, so upper-case initials come before lower-case ones.
bool LinkSortsBefore(const TLinkRecord& a, const TLinkRecord& b, uint8_t key);

// ---- the layout file's item positions (section "data")

// Cells for items named |names| (in list order) from the section's values, on a grid of |columns|
// x |rows|: true when every item got its saved cell; false when the section does not fit (an item
// missing, two items on one cell, a cell outside the grid, a count smaller than the items), and the
// face then arranges all items anew. The section is read once, whatever "count" claims.
bool LayoutCells(const comp::IniValues& data, const std::vector<const std::string*>& names, uint16_t columns,
                 uint16_t rows, std::vector<TCell>& cells);
// The section's values for the items in list order: "count", then link, x and y of each.
comp::IniValues PositionValues(const std::vector<const TLinkRecord*>& links);
