// The cabinet reader's error texts.
#pragma once

#include <cstdint>

// The text for one of the cabinet library's FDI error codes ("FDI error" for a code it doesn't know).
const char* FDIErrorText(int32_t code);

// The message of an error that carries no error flag.
extern const char* const SFDIError;

// Put before the name of a cabinet entry that the reader refused, at the end of the error's message.
extern const char* const SCabRefusedEntry;
// Put before the name of a cabinet entry whose file could not be made or written, at the end of the
// error's message.
extern const char* const SCabUnwrittenEntry;
