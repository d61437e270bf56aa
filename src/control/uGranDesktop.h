// One face of the cube showing one desktop folder: the folder's items (files, folders, shortcuts) as
// a grid of icon cells drawn into the face texture over the face picture, the layout file that keeps
// the picture settings and the cell of every item, and the watcher thread that flags the face for a
// re-scan when the folder changes.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/inifile.h"
#include "control/u3DPanel.h"
#include "control/uGranRules.h"
#include "control/uMonThread.h"

struct gTGlobalVars;
class TGranDesktop;

// Draw modes of DrawLink.
constexpr uint8_t dmNormal = 0;
constexpr uint8_t dmSelected = 1;
constexpr uint8_t dmErase = 2;

// The folder watcher of one face: every change notification sets the face's NeedsRefresh. Starts
// watching once the face is handed to it; stopped and joined when it is freed.
class TMonitorGranThread : public TMonDirThread {
public:
    TMonitorGranThread(const std::string& folder, TGranDesktop* desktop);
    ~TMonitorGranThread() override;

    TGranDesktop* const Desktop;

protected:
    void DirChanged() override;
};

// The picture settings of a face as its layout file holds them (section "Settings").
struct TFaceSettings {
    uint16_t TextureWidth = 512;
    uint16_t TextureHeight = 512;
    std::string WallPaper;
    COLORREF BackColor = 15780518;  // $F0CAA6
    uint8_t BackPicPos = kPicStretch;
};
// Reads them; a texture side other than 256, 512 or 1024 reads as 512, a position other than 0 to 2
// as stretch.
TFaceSettings ReadFaceSettings(const comp::IniFile& file);

using TFaceProgress = std::function<void(const std::string&)>;

// The caption font of a face ("Tahoma", default character set, 8 points), made on first use.
class TCaptionFont {
public:
    TCaptionFont() = default;
    ~TCaptionFont();
    TCaptionFont(const TCaptionFont&) = delete;
    TCaptionFont& operator=(const TCaptionFont&) = delete;
    HFONT Handle();

private:
    HFONT handle_ = nullptr;
};

class TGranDesktop : public T3DPanel {
public:
    // Reads the layout file, makes the folder when it is missing, starts the watcher, makes the
    // texture, composes the face picture (the background colour when the picture is missing or can't
    // be read), scans the folder, places the items and draws them. |progress| is told "Create
    // desktop", "Loadind texture" and "Loading links" in this order.
    TGranDesktop(const std::string& folder, const std::string& iniFileName, IDirect3DDevice9* device,
                 const d3dmath::TVector3& normal, const TCubeVertex& v0, const TCubeVertex& v1, const TCubeVertex& v2,
                 const TCubeVertex& v3, const TFaceProgress& progress, int32_t index);
    // Saves the positions and the picture settings, stops the watcher, frees the items.
    ~TGranDesktop() override;

    // ---- items

    // Re-scans the folder: drops items whose entry went, makes new records for entries whose time
    // changed (same cell) and for new entries (first free cell), draws only those, saves positions.
    // An item whose cell could not be drawn or erased stays as it was, and the next tick tries again.
    // A folder whose listing fails (moved away, deleted, unreadable) takes its items off the face, and the
    // layout file keeps their saved cells: the face stays flagged and lists it again at every tick until
    // it lists, then takes its items with their saved cells as at the start.
    virtual void Refresh();
    // Rebuilds Links from the folder, in listing order. A listing that fails leaves the face without
    // items, flagged for a re-scan that takes them with their saved cells.
    void LoadLinks();
    // A record for one entry of the folder, or null when the entry no longer exists under exactly
    // that name.
    std::unique_ptr<TLinkRecord> NewLinkRecord(const TDirEntry& entry) const;
    // Whether the item's entry exists under exactly its name.
    bool LinkExists(const TLinkRecord& record) const;
    // The first record named exactly |name| (case-sensitive), re-basing the paths of the records on the
    // way onto this face's folder.
    TLinkRecord* FindLinkByName(const std::string& name);
    // Takes over a record whose entry was just moved into this face's folder: its path (and a file's or
    // folder's target) is set onto this folder at once, since the re-scan passes over an entry whose time
    // the move kept; the record goes to the end of Links.
    void AdoptLink(std::unique_ptr<TLinkRecord> record);
    // Takes a record out of Links, its entry just moved to another face, and erases its cell. A cell that
    // can't be erased keeps a copy of the record until the next re-scan, finding the entry gone, clears
    // it. Null for a record that is none of this face's.
    std::unique_ptr<TLinkRecord> TakeLink(const TLinkRecord* record);
    // Leaves a record whose cell could not be drawn to the next tick: the re-scan takes it for a changed
    // entry and draws it anew on its cell.
    void RedrawAtNextTick(TLinkRecord& record);
    void ClearLinks();
    // Folder := the path's folder part (up to its last "\" or ":"), when that differs.
    void SetFolder(const std::string& path);
    void UpdateGrid();
    // Places every record in list order, top to bottom, then left to right.
    void ArrangeLinks();
    TCell FindFreeCell() const;
    bool IsCellUsed(TCell cell) const;
    // The first record at the cell; null for none and for any cell outside the grid.
    TLinkRecord* LinkAtCell(TCell cell) const;
    // Selected := record, drawn highlighted (the caller redraws the previous one).
    void SelectLink(TLinkRecord* record);
    // Deletes the item's file (a shortcut file, not its target) or folder tree. The record stays until
    // the next Refresh finds the entry gone. Failures are silent.
    void DeleteLinkFile(const TLinkRecord* record);

    // ---- layout file

    void WriteSettings();
    // Places the records from the section "data", or arranges them all when it does not fit.
    void LoadPositions();
    void SavePositions();
    // New picture settings for the live face (texture size 256, 512 or 1024 a side).
    void SetParams(uint16_t width, uint16_t height, uint8_t position, COLORREF colour, const std::string& path);

    // ---- drawing and hit tests

    // Draws a record's cell (icon and caption) into the texture, or erases it (dmErase); nothing for
    // null, another mode, a record outside the grid, or a face without a texture. Raises when a part of
    // the cell could not be uploaded: the cell then still shows what it showed, in whole or in part.
    void DrawLink(const TLinkRecord* record, uint8_t mode);
    // Every record as it stands: the selected one highlighted, the others normal.
    void DrawAllLinks();
    void EraseAllLinks();
    // Sorts by name (0), size (1), type (2) or modification time (3), arranges and redraws; the
    // selection goes. Another key keeps the order but still arranges and redraws.
    void SortLinks(uint8_t key);
    // The texture point of a point on this face of the cube (coordinates -1 to 1); false, with
    // |point| untouched, when Index is not a face number.
    bool CubePointToFace(float x, float y, float z, POINT& point) const;
    TCell IconCellAt(POINT point) const { return IconCellAtPoint(point, Columns, Rows); }
    TCell CellAt(POINT point) const { return CellAtPoint(point); }

    gTGlobalVars* Scene = nullptr;
    std::string Folder;
    const uint16_t CellWidth = kCellWidth;
    const uint16_t CellHeight = kCellHeight;
    const uint16_t IconWidth = kIconWidth;
    const uint16_t IconHeight = kIconHeight;
    const uint16_t IconLeft = kIconLeft;
    const uint16_t IconTop = kIconTop;
    const uint16_t TextMargin = kTextMargin;
    const uint16_t TextGap = kTextGap;
    std::string IniFileName;
    comp::IniFile IniFile;
    std::atomic<bool> NeedsRefresh{false};
    int32_t Index = 0;
    uint16_t Columns = 0;
    uint16_t Rows = 0;
    std::vector<std::unique_ptr<TLinkRecord>> Links;
    TLinkRecord* Selected = nullptr;
    std::string WallPaper;

private:
    TGranDesktop(TFaceSettings settings, const std::string& folder, const std::string& iniFileName,
                 IDirect3DDevice9* device, const d3dmath::TVector3& normal, const TCubeVertex& v0,
                 const TCubeVertex& v1, const TCubeVertex& v2, const TCubeVertex& v3, const TFaceProgress& progress,
                 int32_t index);
    // The face picture into the face bitmap, or the background colour when there is none.
    void LoadPicture();
    // Forgets the scene's references to a record that goes away.
    void Forget(const TLinkRecord* record, bool clearSelectionFace);
    void DrawCell(const TLinkRecord& record, bool selected);
    void EraseCell(const TLinkRecord& record);

    TCaptionFont captionFont_;
    // Whether Links came from a listing of the folder that ran to its end: false while the folder is out
    // of reach, since the face was made or since a re-scan found it so.
    bool listed_ = false;

public:
    // Declared last: stopped and joined before any other part of the face goes, also when the face's
    // construction fails half-way.
    std::unique_ptr<TMonitorGranThread> Monitor;
};
