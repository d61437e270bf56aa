// Messages of the menu skin library's exceptions.
#include "menus/SkExceptions.h"

#include <cstdio>

namespace {
const char* const SInvalidPropertyIndex = "Invalid property index %d.";
const char* const SRequireOwner = "Tried to create %s with no owner.";

std::string Format(const char* pattern, const std::string& text) {
    const size_t at = std::string(pattern).find("%s");
    std::string s(pattern);
    return s.replace(at, 2, text);
}
}  // namespace

EInvalidPropertyIndex::EInvalidPropertyIndex(int index)
    : comp::Exception([index] {
          char text[64];
          std::snprintf(text, sizeof text, SInvalidPropertyIndex, index);
          return std::string(text);
      }()) {}

ERequireOwner::ERequireOwner(const std::string& className) : comp::Exception(Format(SRequireOwner, className)) {}
