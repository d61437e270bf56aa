// The cabinet reader's error texts, one for each FDI error code.
#include "wallpaper/CabConsts.h"

const char* const SFDIError = "FDI error";
const char* const SCabRefusedEntry = "Refused cabinet entry: ";
const char* const SCabUnwrittenEntry = "Could not write cabinet entry: ";

const char* FDIErrorText(int32_t code) {
    static const char* const texts[] = {
        "No error",
        "Cabinet not found",
        "Cabinet file does not have the correct format",
        "Cabinet file has an unknown version number",
        "Cabinet file is corrupt",
        "Could not allocate enough memory",
        "Unknown compression type in a cabinet folder",
        "Failure decompressing data from a cabinet file",
        "Failure writing to target file",
        "Cabinets in a set do not have the same RESERVE sizes",
        "Cabinet returned on fdintNEXT_CABINET is incorrect",
        "FDI aborted",
    };
    if (code < 0 || code >= static_cast<int32_t>(sizeof texts / sizeof texts[0])) return SFDIError;
    return texts[code];
}
