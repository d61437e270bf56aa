// The face's layout file: picture settings (section "Settings") and item cells (section "data"), and
// new picture settings for a live face.
#include "control/uGranDesktop.h"

void TGranDesktop::WriteSettings() {
    try {
        IniFile.WriteSection("Settings", {{"ResW", std::to_string(TextureWidth)},
                                          {"ResH", std::to_string(TextureHeight)},
                                          {"WallPaper", WallPaper},
                                          {"BackColor", std::to_string(static_cast<int32_t>(BackColor))},
                                          {"BackPicPos", std::to_string(BackPicPos)}});
        IniFile.UpdateFile();
    } catch (const std::exception&) {
        // Write failures of the layout file are not reported.
    }
}

void TGranDesktop::SavePositions() {
    // A face whose folder is out of reach holds none of its items: the saved cells stay for when it lists.
    if (!listed_) return;
    try {
        std::vector<const TLinkRecord*> links;
        links.reserve(Links.size());
        for (const auto& record : Links) links.push_back(record.get());
        IniFile.WriteSection("data", PositionValues(links));
        IniFile.UpdateFile();
    } catch (const std::exception&) {
        // Write failures of the layout file are not reported.
    }
}

void TGranDesktop::LoadPositions() {
    std::vector<const std::string*> names;
    names.reserve(Links.size());
    for (const auto& record : Links) {
        record->Column = -1;
        record->Row = -1;
        names.push_back(&record->FileName);
    }
    std::vector<TCell> cells;
    if (!LayoutCells(IniFile.ReadSection("data"), names, Columns, Rows, cells)) {
        ArrangeLinks();
        return;
    }
    for (size_t i = 0; i < Links.size(); ++i) {
        Links[i]->Column = cells[i].Column;
        Links[i]->Row = cells[i].Row;
    }
}

void TGranDesktop::SetParams(uint16_t width, uint16_t height, uint8_t position, COLORREF colour,
                             const std::string& path) {
    const bool resized = width != TextureWidth || height != TextureHeight;
    if (resized) {
        // The grid goes with the texture at once: when a later step fails, no cell of the old grid is
        // left beyond the new texture's edge.
        SavePositions();
        SetTextureSize(width, height);
        UpdateGrid();
        LoadPositions();
    }
    WallPaper = path;
    BackColor = colour;
    if (position <= kPicTile) BackPicPos = position;
    LoadPicture();
    ComposeBackground();
    DrawAllLinks();
}
