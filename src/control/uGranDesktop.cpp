// The face desktop: its life, the items of its folder and the re-scan.
#include "control/uGranDesktop.h"

#include <algorithm>
#include <unordered_map>

#include "components/folder_search.h"
#include "components/jpeg.h"
#include "components/paths.h"
#include "control/uGlobal.h"
#include "control/uShellLinkEx.h"

namespace {

std::string LowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Calls |each| for every entry of |folder| (ending with "\") whatever its attributes, "." and ".."
// left out, in the order of the listing. Returns 0 when the listing ran to its end (an empty folder
// too), else the error that broke it off (the folder missing or unreadable).
template <typename F>
DWORD ForEachEntry(const std::string& folder, F each) {
    comp::FolderSearch listing(comp::JoinPath(folder, "*.*"));
    for (; listing.Found(); listing.Next()) each(DirEntryOf(listing.Entry()));
    return listing.Error();
}

// Whether |folder| holds an entry of that kind whose real name is |name| byte for byte (the platform's
// own existence tests ignore letter case).
bool EntryExists(const std::string& folder, const std::string& name, bool isFolder) {
    if (name.empty()) return false;
    const comp::FolderSearch found(comp::JoinPath(folder, name));
    return found.Found() && found.Name() == name && found.IsFolder() == isFolder;
}

// A time no listing gives (month 15, hour 31): a record that holds it is taken for one of a changed entry.
constexpr uint32_t kUndrawnTime = 0xFFFFFFFF;

uint16_t TextureSide(int32_t value) {
    return value == 256 || value == 512 || value == 1024 ? static_cast<uint16_t>(value) : 512;
}

}  // namespace

// ---- watcher

TMonitorGranThread::TMonitorGranThread(const std::string& folder, TGranDesktop* desktop)
    : TMonDirThread(folder), Desktop(desktop) {
    Start();
}

TMonitorGranThread::~TMonitorGranThread() {
    Terminate();
    WaitFor();
}

void TMonitorGranThread::DirChanged() {
    if (Desktop) Desktop->NeedsRefresh.store(true);
}

// ---- settings

TFaceSettings ReadFaceSettings(const comp::IniFile& file) {
    TFaceSettings s;
    s.TextureWidth = TextureSide(file.ReadInteger("Settings", "ResW", 512));
    s.TextureHeight = TextureSide(file.ReadInteger("Settings", "ResH", 512));
    s.WallPaper = file.ReadString("Settings", "WallPaper", "");
    s.BackColor = static_cast<COLORREF>(file.ReadInteger("Settings", "BackColor", 15780518));
    const int32_t position = file.ReadInteger("Settings", "BackPicPos", kPicStretch);
    if (position >= kPicStretch && position <= kPicTile) s.BackPicPos = static_cast<uint8_t>(position);
    return s;
}

// ---- life

TGranDesktop::TGranDesktop(const std::string& folder, const std::string& iniFileName, IDirect3DDevice9* device,
                           const d3dmath::TVector3& normal, const TCubeVertex& v0, const TCubeVertex& v1,
                           const TCubeVertex& v2, const TCubeVertex& v3, const TFaceProgress& progress, int32_t index)
    : TGranDesktop(ReadFaceSettings(comp::IniFile(iniFileName)), folder, iniFileName, device, normal, v0, v1, v2, v3,
                   progress, index) {}

TGranDesktop::TGranDesktop(TFaceSettings settings, const std::string& folder, const std::string& iniFileName,
                           IDirect3DDevice9* device, const d3dmath::TVector3& normal, const TCubeVertex& v0,
                           const TCubeVertex& v1, const TCubeVertex& v2, const TCubeVertex& v3,
                           const TFaceProgress& progress, int32_t index)
    : T3DPanel(settings.TextureWidth, settings.TextureHeight, device, normal, v0, v1, v2, v3),
      Scene(GlobalVars),
      IniFileName(iniFileName),
      IniFile(iniFileName),
      Index(index),
      WallPaper(std::move(settings.WallPaper)) {
    const auto report = [&progress](const char* text) {
        if (progress) progress(text);
    };
    BackColor = settings.BackColor;
    BackPicPos = settings.BackPicPos;
    report("Create desktop");
    SetFolder(folder);
    comp::ForceDirectories(Folder);
    Monitor = std::make_unique<TMonitorGranThread>(Folder, this);
    FaceBitmap().SetSize(TextureWidth, TextureHeight);
    UpdateGrid();
    report("Loadind texture");
    LoadPicture();
    ComposeBackground();
    report("Loading links");
    LoadLinks();
    LoadPositions();
    DrawAllLinks();
}

TGranDesktop::~TGranDesktop() {
    SavePositions();
    WriteSettings();
    IniFile.UpdateFile();
    Monitor.reset();
    ClearLinks();
}

void TGranDesktop::LoadPicture() {
    if (!WallPaper.empty() && comp::FileExists(WallPaper)) {
        try {
            const std::string ext = LowerCase(comp::ExtractFileExt(WallPaper));
            if (ext == ".jpg" || ext == ".jpeg") {
                comp::JpegImage jpeg;
                jpeg.LoadFromFile(WallPaper);
                jpeg.AssignTo(FaceBitmap());
            } else {
                FaceBitmap().LoadFromFile(WallPaper);
            }
            return;
        } catch (const std::exception&) {
            // A picture that can't be read shows as none; its path stays stored for a later start.
        }
    }
    FaceBitmap().SetSize(TextureWidth, TextureHeight);
    FillColor(BackColor);
}

// ---- items

void TGranDesktop::LoadLinks() {
    ClearLinks();
    listed_ = ForEachEntry(Folder, [this](const TDirEntry& entry) {
                  if (std::unique_ptr<TLinkRecord> record = NewLinkRecord(entry)) Links.push_back(std::move(record));
              }) == 0;
    // A folder out of reach is no empty folder: the face waits for it without items, and the monitor
    // tick lists it again (no notification comes for a folder that comes back).
    if (!listed_) {
        ClearLinks();
        NeedsRefresh.store(true);
    }
}

std::unique_ptr<TLinkRecord> TGranDesktop::NewLinkRecord(const TDirEntry& entry) const {
    if (!EntryExists(Folder, entry.Name, entry.IsFolder())) return nullptr;
    auto record = std::make_unique<TLinkRecord>();
    const std::string full = comp::JoinPath(Folder, entry.Name);
    record->FileName = CutText(entry.Name);
    record->Path = CutText(full);
    record->Size = entry.Size;
    record->Time = entry.Time;
    if (entry.IsFolder()) {
        record->Kind = lkFolder;
        record->Target = record->Path;
        record->Caption = CutText(entry.Name);
    } else if (NameExtension(entry.Name) == ".lnk") {
        // Name, caption, size and time come from the listing first: a shortcut that can't be read
        // keeps them, so that it can be found, deleted and kept in its place.
        record->Kind = lkShortcut;
        record->Caption = CutText(NameWithoutExtension(entry.Name));
        ReadShellLink(full, entry, *record);
    } else {
        record->Kind = lkFile;
        record->Target = record->Path;
        record->Caption = CutText(NameWithoutExtension(entry.Name));
    }
    return record;
}

bool TGranDesktop::LinkExists(const TLinkRecord& record) const {
    return EntryExists(Folder, record.FileName, record.Kind == lkFolder);
}

TLinkRecord* TGranDesktop::FindLinkByName(const std::string& name) {
    for (const auto& record : Links) {
        record->Path = CutText(comp::JoinPath(Folder, comp::ExtractFileName(record->Path)));
        if (record->FileName == name) return record.get();
    }
    return nullptr;
}

void TGranDesktop::AdoptLink(std::unique_ptr<TLinkRecord> record) {
    if (!record) return;
    record->Path = CutText(comp::JoinPath(Folder, record->FileName));
    if (record->Kind == lkFile || record->Kind == lkFolder) record->Target = record->Path;
    Links.push_back(std::move(record));
}

std::unique_ptr<TLinkRecord> TGranDesktop::TakeLink(const TLinkRecord* record) {
    const auto owned = std::find_if(Links.begin(), Links.end(), [record](const auto& r) { return r.get() == record; });
    if (owned == Links.end()) return nullptr;
    std::unique_ptr<TLinkRecord> taken = std::move(*owned);
    Links.erase(owned);
    Forget(taken.get(), false);
    try {
        DrawLink(taken.get(), dmErase);
    } catch (const std::exception&) {
        Links.push_back(std::make_unique<TLinkRecord>(*taken));
        NeedsRefresh.store(true);
    }
    return taken;
}

void TGranDesktop::RedrawAtNextTick(TLinkRecord& record) {
    record.Time = kUndrawnTime;
    NeedsRefresh.store(true);
}

void TGranDesktop::Forget(const TLinkRecord* record, bool clearSelectionFace) {
    if (Selected == record) {
        Selected = nullptr;
        if (clearSelectionFace && Scene) Scene->CurrentFace = -1;
    }
    if (Scene && Scene->DraggedLink == record) {
        Scene->DraggedLink = nullptr;
        Scene->DragSourceFace = -1;
    }
}

void TGranDesktop::ClearLinks() {
    for (const auto& record : Links) Forget(record.get(), true);
    Links.clear();
}

void TGranDesktop::SetFolder(const std::string& path) {
    const std::string folder = comp::ExtractFilePath(path);
    if (folder != Folder) Folder = folder;
}

void TGranDesktop::UpdateGrid() {
    Columns = static_cast<uint16_t>(TextureWidth / CellWidth);
    Rows = static_cast<uint16_t>(TextureHeight / CellHeight);
}

void TGranDesktop::ArrangeLinks() {
    for (size_t i = 0; i < Links.size(); ++i) {
        const TCell cell = ArrangedCell(i, Rows);
        Links[i]->Column = cell.Column;
        Links[i]->Row = cell.Row;
    }
}

TCell TGranDesktop::FindFreeCell() const {
    std::vector<TCell> used;
    used.reserve(Links.size());
    for (const auto& record : Links) used.push_back(TCell{record->Column, record->Row});
    return FirstFreeCell(used, Links.size(), Columns, Rows);
}

bool TGranDesktop::IsCellUsed(TCell cell) const {
    return std::any_of(Links.begin(), Links.end(),
                       [cell](const auto& r) { return r->Column == cell.Column && r->Row == cell.Row; });
}

TLinkRecord* TGranDesktop::LinkAtCell(TCell cell) const {
    // Items beyond the grid are never drawn: nothing is found there.
    if (!InGrid(cell, Columns, Rows)) return nullptr;
    for (const auto& record : Links)
        if (record->Column == cell.Column && record->Row == cell.Row) return record.get();
    return nullptr;
}

void TGranDesktop::SelectLink(TLinkRecord* record) {
    Selected = record;
    DrawLink(record, dmSelected);
}

void TGranDesktop::DeleteLinkFile(const TLinkRecord* record) {
    if (!record || !IsDeletableName(record->FileName)) return;
    const std::string path = comp::JoinPath(Folder, record->FileName);
    if (record->Kind == lkFolder) DeleteDirTree(path);
    else DeleteFileA(path.c_str());
}

void TGranDesktop::Refresh() {
    NeedsRefresh.store(false);

    // A cell that can't be drawn or erased (the system short of resources) leaves its item as it was
    // and the next tick tries again.
    bool retry = false;
    const auto drawn = [this, &retry](const TLinkRecord* record, uint8_t mode) {
        try {
            DrawLink(record, mode);
            return true;
        } catch (const std::exception&) {
            retry = true;
            return false;
        }
    };
    // Takes the items off the face, each once its cell is clear.
    const auto eraseAll = [this, &drawn]() {
        for (auto it = Links.begin(); it != Links.end();) {
            Forget(it->get(), true);
            if (drawn(it->get(), dmErase)) it = Links.erase(it);
            else ++it;
        }
    };

    // One listing serves both passes: existence tests one by one cost the platform a folder read each.
    std::vector<TDirEntry> entries;
    if (ForEachEntry(Folder, [&entries](const TDirEntry& entry) { entries.push_back(entry); }) != 0) {
        // A listing that failed (the folder moved away, deleted or unreadable) is no empty folder: the face
        // shows none of its items while it lasts, and the layout file keeps their saved cells, for it is
        // not written until the folder lists again. The next tick lists again, since no notification may
        // come for a folder that comes back.
        listed_ = false;
        eraseAll();
        NeedsRefresh.store(true);
        return;
    }

    // The folder lists for the first time, or again after it was out of reach: its items are taken as at
    // the start, with their saved cells, once no cell of an item from before shows any more.
    if (!listed_) {
        eraseAll();
        if (!Links.empty()) {
            NeedsRefresh.store(true);
            return;
        }
        for (const TDirEntry& entry : entries)
            if (std::unique_ptr<TLinkRecord> record = NewLinkRecord(entry)) Links.push_back(std::move(record));
        listed_ = true;
        LoadPositions();
        for (const auto& record : Links)
            if (!drawn(record.get(), dmNormal)) RedrawAtNextTick(*record);
        SavePositions();
        if (retry) NeedsRefresh.store(true);
        return;
    }

    std::unordered_map<std::string, const TDirEntry*> listed;
    listed.reserve(entries.size());
    for (const TDirEntry& entry : entries) listed.emplace(entry.Name, &entry);

    // Items whose entry went (names compare exactly: a change of letter case is a new entry).
    for (auto it = Links.begin(); it != Links.end();) {
        const auto found = listed.find((*it)->FileName);
        if (found != listed.end() && found->second->IsFolder() == ((*it)->Kind == lkFolder)) {
            ++it;
            continue;
        }
        Forget(it->get(), true);
        if (!drawn(it->get(), dmErase)) {
            ++it;
            continue;
        }
        it = Links.erase(it);
    }

    // The records by name (the first of a name counts), their paths brought onto this folder.
    std::unordered_map<std::string, TLinkRecord*> byName;
    byName.reserve(Links.size());
    for (const auto& record : Links) {
        record->Path = CutText(comp::JoinPath(Folder, comp::ExtractFileName(record->Path)));
        byName.emplace(record->FileName, record.get());
    }
    const size_t cells = static_cast<size_t>(Columns) * Rows;
    std::vector<bool> taken(cells, false);
    const auto mark = [&](const TLinkRecord& r, bool on) {
        if (InGrid(TCell{r.Column, r.Row}, Columns, Rows))
            taken[static_cast<size_t>(r.Column) * Rows + static_cast<size_t>(r.Row)] = on;
    };
    for (const auto& record : Links) mark(*record, true);
    const auto freeCell = [&]() {
        if (Links.size() >= cells) return kNoCell;
        for (size_t i = 0; i < cells; ++i)
            if (!taken[i]) return TCell{static_cast<int32_t>(i / Rows), static_cast<int32_t>(i % Rows)};
        return kNoCell;
    };

    // Changed and new entries; what is already drawn and unchanged is not drawn again.
    for (const TDirEntry& entry : entries) {
        const auto known = byName.find(entry.Name);
        if (known != byName.end()) {
            TLinkRecord* old = known->second;
            if (old->Time == entry.Time) continue;
            // The old record goes only once its cell shows the new one, or is clear when the entry
            // vanished after the listing.
            std::unique_ptr<TLinkRecord> fresh = NewLinkRecord(entry);
            if (fresh) {
                fresh->Column = old->Column;
                fresh->Row = old->Row;
                if (!drawn(fresh.get(), dmNormal)) continue;
            } else if (!drawn(old, dmErase)) {
                continue;
            }
            Forget(old, false);
            mark(*old, false);
            byName.erase(known);
            Links.erase(std::find_if(Links.begin(), Links.end(), [old](const auto& r) { return r.get() == old; }));
            if (!fresh) continue;
            mark(*fresh, true);
            byName.emplace(fresh->FileName, fresh.get());
            Links.push_back(std::move(fresh));
            continue;
        }
        std::unique_ptr<TLinkRecord> fresh = NewLinkRecord(entry);
        if (!fresh) continue;
        const TCell cell = freeCell();
        if (cell == kNoCell) continue;  // a full face: the item is not shown
        fresh->Column = cell.Column;
        fresh->Row = cell.Row;
        if (!drawn(fresh.get(), dmNormal)) continue;  // still new at the next tick
        mark(*fresh, true);
        byName.emplace(fresh->FileName, fresh.get());
        Links.push_back(std::move(fresh));
    }

    SavePositions();
    if (retry) NeedsRefresh.store(true);
}
