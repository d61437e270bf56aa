// The menu skin library's two exceptions: an indexed colour property asked for with an index it does not
// have, and an option object or bar state made without the menu that must own it.
#pragma once

#include <string>

#include "components/exceptions.h"

class EInvalidPropertyIndex : public comp::Exception {
public:
    explicit EInvalidPropertyIndex(int index);
};

class ERequireOwner : public comp::Exception {
public:
    // |className|: the class of the object being created.
    explicit ERequireOwner(const std::string& className);
};
