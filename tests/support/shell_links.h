// Shortcut files made the way the shell makes them: through the shell link object and its
// IPersistFile. Needs COM on the calling thread.
#pragma once

#include <string>

namespace testing_support {

// Writes the shortcut |linkFile| to |target|, with an optional description; true on success.
bool MakeShortcut(const std::string& linkFile, const std::string& target, const std::string& description = "");

}  // namespace testing_support
