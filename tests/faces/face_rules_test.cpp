// The face rules without a device: hit tests on the grid of 70-pixel cells, placing items, the
// point of the cube a texture point shows, the sort orders, item names, and the item positions of
// the layout file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control/uGranRules.h"

namespace {

TCell Icon(LONG x, LONG y, uint16_t columns = 7, uint16_t rows = 7) { return IconCellAtPoint(POINT{x, y}, columns, rows); }

TLinkRecord Item(const std::string& name, int32_t size = 0, uint32_t time = 0) {
    TLinkRecord r;
    r.FileName = name;
    r.Size = size;
    r.Time = time;
    return r;
}

std::vector<std::string> Sorted(std::vector<TLinkRecord> items, uint8_t key) {
    std::sort(items.begin(), items.end(), [key](const TLinkRecord& a, const TLinkRecord& b) {
        return LinkSortsBefore(a, b, key);
    });
    std::vector<std::string> names;
    for (const TLinkRecord& r : items) names.push_back(r.FileName);
    return names;
}

}  // namespace

TEST(FaceGrid, IconHitsIncludeOnePixelRightAndBelowAndNothingElse) {
    EXPECT_EQ(Icon(19, 9), (TCell{0, 0}));
    EXPECT_EQ(Icon(51, 41), (TCell{0, 0}));   // one pixel past the 32 x 32 icon still hits
    EXPECT_EQ(Icon(52, 20), kNoCell);
    EXPECT_EQ(Icon(30, 42), kNoCell);         // the caption never hits
    EXPECT_EQ(Icon(18, 20), kNoCell);
    EXPECT_EQ(Icon(70 * 3 + 25, 70 * 2 + 15), (TCell{3, 2}));
    EXPECT_EQ(Icon(-50, 20), kNoCell);        // negative points truncate to column 0 but miss the icon
    EXPECT_EQ(Icon(20, -60), kNoCell);
    // Outside the drawn grid (7 x 7 on a 512 texture) nothing answers, overflow items included.
    EXPECT_EQ(Icon(7 * 70 + 20, 20), kNoCell);
    EXPECT_EQ(Icon(20, 7 * 70 + 20, 7, 8), (TCell{0, 7}));
    // The drop cell is not limited to the grid: drops check it themselves.
    EXPECT_EQ(CellAtPoint(POINT{509, 511}), (TCell{7, 7}));
    EXPECT_EQ(CellAtPoint(POINT{-69, 69}), (TCell{0, 0}));
}

TEST(FaceGrid, ItemsFillColumnsTopToBottomAndNewOnesTakeTheFirstFreeCell) {
    EXPECT_EQ(ArrangedCell(0, 7), (TCell{0, 0}));
    EXPECT_EQ(ArrangedCell(6, 7), (TCell{0, 6}));
    EXPECT_EQ(ArrangedCell(7, 7), (TCell{1, 0}));
    EXPECT_EQ(ArrangedCell(49, 7), (TCell{7, 0}));  // the 50th item of a 512 face lies beyond the grid
    EXPECT_EQ(FirstFreeCell({}, 0, 7, 7), (TCell{0, 0}));
    EXPECT_EQ(FirstFreeCell({{0, 0}, {0, 2}, {1, 0}}, 3, 7, 7), (TCell{0, 1}));
    // Column by column: a hole in column 0 beats an empty column 1.
    std::vector<TCell> used;
    for (int r = 0; r < 7; ++r)
        if (r != 5) used.push_back({0, r});
    EXPECT_EQ(FirstFreeCell(used, used.size(), 7, 7), (TCell{0, 5}));
    // As many items as cells: none, even when an overflow item leaves a cell empty.
    used.assign(49, TCell{9, 9});
    EXPECT_EQ(FirstFreeCell(used, 49, 7, 7), kNoCell);
    EXPECT_EQ(FirstFreeCell({}, 0, 0, 7), kNoCell);
}

TEST(FaceGrid, CubePointsMapToTexturePointsOfEachFaceRoundedHalfToEven) {
    POINT p{-7, -7};
    EXPECT_TRUE(CubePointToTexture(1, 0, 0, -1, 512, 512, p));
    EXPECT_EQ(p.x, 256);
    EXPECT_EQ(p.y, 256);
    struct Case {
        int face;
        float x, y, z;
        LONG u, v;
    };
    // The top-left texel corner of each face as the cube's vertex table gives it.
    const Case corners[] = {{1, -1, 1, -1, 0, 0},  {2, 1, 1, 1, 0, 0},   {3, -1, 1, 1, 0, 0},
                            {4, -1, -1, -1, 0, 0}, {5, 1, 1, -1, 0, 0}, {6, -1, 1, 1, 0, 0}};
    for (const Case& c : corners) {
        SCOPED_TRACE(c.face);
        ASSERT_TRUE(CubePointToTexture(c.face, c.x, c.y, c.z, 256, 1024, p));
        EXPECT_EQ(p.x, c.u);
        EXPECT_EQ(p.y, c.v);
    }
    // u * 512 = 0.5 and 1.5: halves go to the even neighbour.
    ASSERT_TRUE(CubePointToTexture(1, -1 + 1.0f / 512, 1 - 3.0f / 512, 0, 512, 512, p));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 2);
    p = POINT{-7, -8};
    EXPECT_FALSE(CubePointToTexture(7, 0, 0, 0, 512, 512, p));
    EXPECT_FALSE(CubePointToTexture(0, 0, 0, 0, 512, 512, p));
    EXPECT_EQ(p.x, -7);
    EXPECT_EQ(p.y, -8);
}

TEST(FaceSorting, NameByByteValueThenSizeTypeAndTimeWithNameAsTieBreak) {
    const std::vector<TLinkRecord> items = {Item("alpha.txt", 30, 5), Item("Zeta", 10, 0x80000000u),
                                            Item("beta.doc", 10, 7), Item("alp", 30, 5), Item("gamma.doc", 99, 7)};
    EXPECT_EQ(Sorted(items, kSortName), (std::vector<std::string>{"Zeta", "alp", "alpha.txt", "beta.doc", "gamma.doc"}));
    EXPECT_EQ(Sorted(items, kSortSize), (std::vector<std::string>{"Zeta", "beta.doc", "alp", "alpha.txt", "gamma.doc"}));
    EXPECT_EQ(Sorted(items, kSortType), (std::vector<std::string>{"Zeta", "alp", "beta.doc", "gamma.doc", "alpha.txt"}));
    // Times compare as signed values: a time with the top bit set is the oldest.
    EXPECT_EQ(Sorted(items, kSortModified),
              (std::vector<std::string>{"Zeta", "alp", "alpha.txt", "beta.doc", "gamma.doc"}));
    // Bytes above 127 sort after ASCII.
    EXPECT_TRUE(LinkSortsBefore(Item("z"), Item("\xC0"), kSortName));
}

TEST(FaceItems, ExtensionsCaptionsAndDeletableNames) {
    EXPECT_EQ(NameExtension("report.final.TXT"), ".TXT");
    EXPECT_EQ(NameExtension("README"), "");
    EXPECT_EQ(NameWithoutExtension("report.final.txt"), "report.final");
    EXPECT_EQ(NameWithoutExtension(".profile"), "");
    EXPECT_EQ(NameWithoutExtension("README"), "README");
    EXPECT_EQ(CutText(std::string(300, 'a')).size(), 255u);
    EXPECT_TRUE(IsDeletableName("a.txt"));
    EXPECT_TRUE(IsDeletableName("..hidden"));
    for (const char* refused : {"", ".", "..", "..\\x", "a/b", "C:x"}) EXPECT_FALSE(IsDeletableName(refused)) << refused;
}

namespace {

comp::IniValues Data(std::initializer_list<std::pair<const char*, const char*>> lines) {
    comp::IniValues v;
    for (const auto& l : lines) v.emplace_back(l.first, l.second);
    return v;
}

struct Layout {
    std::vector<std::string> names;
    std::vector<TCell> cells;
    bool Fits(const comp::IniValues& data, uint16_t columns = 7, uint16_t rows = 7) {
        std::vector<const std::string*> refs;
        for (const std::string& n : names) refs.push_back(&n);
        return LayoutCells(data, refs, columns, rows, cells);
    }
};

}  // namespace

TEST(FaceLayout, SavedCellsAreTakenOnlyWhenTheWholeLayoutFits) {
    Layout l{{"a", "b"}, {}};
    const auto fitting = Data({{"count", "2"}, {"link0", "b"}, {"x0", "3"}, {"y0", "4"}, {"LINK1", "a"}, {"x1", "0"},
                               {"y1", "6"}});
    ASSERT_TRUE(l.Fits(fitting));
    EXPECT_EQ(l.cells, (std::vector<TCell>{{0, 6}, {3, 4}}));

    // Every disagreement asks for a new arrangement.
    EXPECT_FALSE(l.Fits(Data({{"count", "1"}, {"link0", "a"}, {"link1", "b"}, {"x1", "1"}})));  // count too small
    EXPECT_FALSE(l.Fits(Data({{"count", "2"}, {"link0", "a"}})));                             // b missing
    EXPECT_FALSE(l.Fits(Data({{"count", "2"}, {"link0", "a"}, {"link1", "b"}})));             // both on (0, 0)
    EXPECT_FALSE(l.Fits(Data({{"count", "2"}, {"link0", "a"}, {"x0", "-1"}, {"link1", "b"}, {"y1", "1"}})));
    EXPECT_FALSE(l.Fits(Data({{"count", "2"}, {"link0", "a"}, {"link1", "b"}, {"y1", "7"}})));
    EXPECT_FALSE(l.Fits(fitting, 3, 3));  // a smaller grid

    // x 65538 keeps its low 16 bits: column 2. The highest link index tried is count itself.
    ASSERT_TRUE(l.Fits(Data({{"count", "2"}, {"link0", "a"}, {"x0", "65538"}, {"link2", "b"}, {"y2", "1"}})));
    EXPECT_EQ(l.cells, (std::vector<TCell>{{2, 0}, {0, 1}}));
    EXPECT_FALSE(l.Fits(Data({{"count", "2"}, {"link0", "a"}, {"link3", "b"}, {"y3", "1"}})));
    // A name listed twice: the lowest index wins; keys written with leading zeros are not the layout's.
    ASSERT_TRUE(l.Fits(Data({{"count", "3"}, {"link2", "a"}, {"x2", "5"}, {"link1", "a"}, {"x1", "4"},
                             {"link00", "b"}, {"link0", "b"}, {"y0", "2"}})));
    EXPECT_EQ(l.cells, (std::vector<TCell>{{4, 0}, {0, 2}}));
}

TEST(FaceLayout, AHugeCountCostsNoMoreThanTheKeysThatExist) {
    Layout l{{"a"}, {}};
    // A count near the 32-bit limit is read once with the section, not tried key by key.
    ASSERT_TRUE(l.Fits(Data({{"count", "2147483647"}, {"link0", "a"}, {"x0", "1"}, {"y0", "1"}})));
    EXPECT_EQ(l.cells, (std::vector<TCell>{{1, 1}}));
    EXPECT_FALSE(l.Fits(Data({{"count", "-5"}, {"link0", "a"}})));  // a negative count counts as 0
}

TEST(FaceLayout, PositionsAreWrittenInListOrderAfterTheCount) {
    TLinkRecord a = Item("first"), b = Item(" second");
    a.Column = 8;
    a.Row = 0;
    b.Column = 0;
    b.Row = 3;
    const comp::IniValues v = PositionValues({&a, &b});
    const comp::IniValues expected = Data({{"count", "2"}, {"link0", "first"}, {"x0", "8"}, {"y0", "0"},
                                           {"link1", " second"}, {"x1", "0"}, {"y1", "3"}});
    EXPECT_EQ(v, expected);
    // Values the profile functions would trim or unquote go in quotes.
    EXPECT_EQ(comp::ProfileValueText(" second"), "\" second\"");
    EXPECT_EQ(comp::ProfileValueText("tail "), "\"tail \"");
    EXPECT_EQ(comp::ProfileValueText("\"q\""), "\"\"q\"\"");
    EXPECT_EQ(comp::ProfileValueText("plain name.txt"), "plain name.txt");
}
