// Number text conversions of the component library: decimal, or hexadecimal after "$" or "0x".
#pragma once

#include <cstdint>
#include <string>

namespace comp {

// Parses an optionally signed decimal number, or a hexadecimal one that begins with "$", "0x" or "0X"
// (after the sign). Leading blanks are allowed; nothing may follow. False on anything else or overflow.
bool TryStrToInt(const std::string& text, int32_t& value);
int32_t StrToIntDef(const std::string& text, int32_t fallback);

}  // namespace comp
