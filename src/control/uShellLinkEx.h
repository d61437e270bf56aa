// The three shell operations behind the items of a face: reading a shortcut file into an item record
// through the shell link object, the icon a cell shows for an item, and deleting a folder item with all
// it holds.
#pragma once

#include <windows.h>

#include <string>

#include "components/icon.h"
#include "control/uGranRules.h"

// Fills |record| from the shortcut file |path| and its listing entry: the link's data, then the
// caption (the shell's display name of the target) and the icon location the shell reports. A
// failure ends the reading quietly; the record keeps what was filled before it.
void ReadShellLink(const std::string& path, const TDirEntry& entry, TLinkRecord& record);

// The item's icon into |icon|: the closed-folder icon for a folder, the associated icon of a file
// (the default document icon when there is none), the shell's icon of a shortcut's target (empty
// when the shortcut cannot be read).
void GetLinkIcon(const TLinkRecord& record, comp::Icon& icon);

// Deletes the folder's files, its subfolders bottom-up, then the folder (no trailing separator). A
// folder link (junction or symbolic link) is removed itself and never entered. Failures are silent:
// what cannot go stays, with the folders above it.
void DeleteDirTree(const std::string& folder);

// Whether a listed entry is a folder to enter when deleting: a real folder, not a link to one.
bool IsFolderToEnter(DWORD attributes);
