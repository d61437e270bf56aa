// Item records, grid, sorting and layout rules of the face desktops.
#include "control/uGranRules.h"

#include <cmath>
#include <unordered_map>

#include "components/strings.h"

std::string CutText(const std::string& text) { return text.size() > kLinkTextMax ? text.substr(0, kLinkTextMax) : text; }

uint32_t DosTimeOf(const FILETIME& utc) {
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return (static_cast<uint32_t>(date) << 16) | time;
}

TDirEntry DirEntryOf(const WIN32_FIND_DATAA& data) {
    TDirEntry e;
    e.Name = data.cFileName;
    e.Attributes = data.dwFileAttributes;
    e.Size = static_cast<int32_t>(data.nFileSizeLow);
    e.Time = DosTimeOf(data.ftLastWriteTime);
    return e;
}

std::string NameExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string NameWithoutExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsDeletableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

// ---- the grid

bool InGrid(TCell cell, uint16_t columns, uint16_t rows) {
    return cell.Column >= 0 && cell.Row >= 0 && cell.Column < columns && cell.Row < rows;
}

TCell CellAtPoint(POINT p) { return TCell{p.x / kCellWidth, p.y / kCellHeight}; }

TCell IconCellAtPoint(POINT p, uint16_t columns, uint16_t rows) {
    const TCell cell = CellAtPoint(p);
    const int32_t rx = p.x % kCellWidth, ry = p.y % kCellHeight;  // the sign of the point
    const bool onIcon = rx >= kIconLeft && rx <= kIconLeft + kIconWidth && ry >= kIconTop && ry <= kIconTop + kIconHeight;
    // Items beyond the grid are never drawn: nothing can be hit there.
    return onIcon && InGrid(cell, columns, rows) ? cell : kNoCell;
}

TCell ArrangedCell(size_t index, uint16_t rows) {
    // The row counter of 16 bits wraps to 0 when it reaches |rows|; 0 rows wrap at 65536.
    const size_t perColumn = rows ? rows : 65536;
    return TCell{static_cast<int32_t>((index / perColumn) & 0xFFFF), static_cast<int32_t>(index % perColumn)};
}

TCell FirstFreeCell(const std::vector<TCell>& used, size_t itemCount, uint16_t columns, uint16_t rows) {
    const size_t cells = static_cast<size_t>(columns) * rows;
    if (itemCount >= cells) return kNoCell;
    std::vector<bool> taken(cells, false);
    for (const TCell& c : used)
        if (InGrid(c, columns, rows)) taken[static_cast<size_t>(c.Column) * rows + static_cast<size_t>(c.Row)] = true;
    for (size_t i = 0; i < cells; ++i)
        if (!taken[i]) return TCell{static_cast<int32_t>(i / rows), static_cast<int32_t>(i % rows)};
    return kNoCell;
}

bool CubePointToTexture(int face, float x, float y, float z, uint16_t width, uint16_t height, POINT& point) {
    float u, v;
    switch (face) {
        case 1: u = (x + 1) / 2; v = (1 - y) / 2; break;
        case 2: u = (1 - x) / 2; v = (1 - y) / 2; break;
        case 3: u = (x + 1) / 2; v = (1 - z) / 2; break;
        case 4: u = (x + 1) / 2; v = (z + 1) / 2; break;
        case 5: u = (z + 1) / 2; v = (1 - y) / 2; break;
        case 6: u = (1 - z) / 2; v = (1 - y) / 2; break;
        default: return false;
    }
    // The default rounding mode rounds a half to the even neighbour.
    point.x = static_cast<LONG>(std::lrint(static_cast<double>(u) * width));
    point.y = static_cast<LONG>(std::lrint(static_cast<double>(v) * height));
    return true;
}

// ---- sorting

bool LinkSortsBefore(const TLinkRecord& a, const TLinkRecord& b, uint8_t key) {
    switch (key) {
        case kSortSize:
            if (a.Size != b.Size) return a.Size < b.Size;
            break;
        case kSortType: {
            const int c = NameExtension(a.FileName).compare(NameExtension(b.FileName));
            if (c != 0) return c < 0;
            break;
        }
        case kSortModified:
            if (a.Time != b.Time) return static_cast<int32_t>(a.Time) < static_cast<int32_t>(b.Time);
            break;
        default: break;
    }
    // std::string compares bytes as unsigned values.
    return a.FileName < b.FileName;
}

// ---- layout positions

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The number after |prefix| when |key| is the prefix followed by a number written as the layout file
// writes it (decimal, no sign, no leading zeros); -1 otherwise.
int64_t KeyIndex(const std::string& key, const char* prefix) {
    const size_t n = std::char_traits<char>::length(prefix);
    if (key.size() <= n || key.compare(0, n, prefix) != 0) return -1;
    const std::string digits = key.substr(n);
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return -1;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

bool LayoutCells(const comp::IniValues& data, const std::vector<const std::string*>& names, uint16_t columns,
                 uint16_t rows, std::vector<TCell>& cells) {
    cells.assign(names.size(), kNoCell);
    // Keys match without regard to case; the first of two equal keys counts.
    std::unordered_map<std::string, const std::string*> values;
    for (const auto& kv : data) values.emplace(Lower(kv.first), &kv.second);
    const auto read = [&](const std::string& key, int32_t fallback) {
        const auto it = values.find(key);
        return it == values.end() ? fallback : comp::StrToIntDef(*it->second, fallback);
    };
    int64_t count = read("count", 0);
    if (count < 0) count = 0;
    if (names.size() > static_cast<uint64_t>(count)) return false;

    // Indexes 0 to count are tried; with duplicate names the lowest index wins.
    std::unordered_map<std::string, int64_t> indexOf;
    for (const auto& kv : data) {
        const int64_t i = KeyIndex(Lower(kv.first), "link");
        if (i < 0 || i > count) continue;
        auto it = indexOf.find(kv.second);
        if (it == indexOf.end()) indexOf.emplace(kv.second, i);
        else if (i < it->second) it->second = i;
    }

    std::vector<bool> taken(static_cast<size_t>(columns) * rows, false);
    size_t placed = 0;
    for (size_t k = 0; k < names.size(); ++k) {
        const auto it = indexOf.find(*names[k]);
        if (it == indexOf.end()) continue;
        const std::string i = std::to_string(it->second);
        const uint16_t x = static_cast<uint16_t>(read("x" + i, 0) & 0xFFFF);
        const uint16_t y = static_cast<uint16_t>(read("y" + i, 0) & 0xFFFF);
        if (x >= columns || y >= rows) return false;
        const size_t slot = static_cast<size_t>(x) * rows + y;
        if (taken[slot]) return false;
        taken[slot] = true;
        cells[k] = TCell{x, y};
        ++placed;
    }
    return placed == names.size();
}

comp::IniValues PositionValues(const std::vector<const TLinkRecord*>& links) {
    comp::IniValues values;
    values.reserve(1 + 3 * links.size());
    values.emplace_back("count", std::to_string(links.size()));
    for (size_t i = 0; i < links.size(); ++i) {
        const std::string n = std::to_string(i);
        values.emplace_back("link" + n, links[i]->FileName);
        values.emplace_back("x" + n, std::to_string(links[i]->Column));
        values.emplace_back("y" + n, std::to_string(links[i]->Row));
    }
    return values;
}
