// A scratch data folder: while alive, AppDataPath (the data folder every product unit reads) is a fresh
// folder under the temporary folder, removed with all it holds at the end. Declare it before anything
// that writes there (faces, scenes, controls), so that those are gone when the folder goes.
#pragma once

#include <string>

#include "fixtures.h"
#include "shared/uPath.h"

namespace testing_support {

class ScratchDataFolder {
public:
    ScratchDataFolder() : saved_(AppDataPath) { AppDataPath = folder_.Path(); }
    ~ScratchDataFolder() { AppDataPath = saved_; }
    ScratchDataFolder(const ScratchDataFolder&) = delete;
    ScratchDataFolder& operator=(const ScratchDataFolder&) = delete;

    // The data folder, ending with "\".
    const std::string& Path() const { return folder_.Path(); }

private:
    ScratchFolder folder_;
    std::string saved_;
};

}  // namespace testing_support
