// Number parsing.
#include "strings.h"

namespace comp {

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t n = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        n = n * (hex ? 16 : 10) + digit;
        if (n > 0xFFFFFFFFull) return false;
    }
    if (hex) {
        // Hexadecimal covers all 32 bits: $FFFFFFFF is -1.
        uint32_t bits = static_cast<uint32_t>(n);
        if (negative) bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    if (negative ? n > 0x80000000ull : n > 0x7FFFFFFFull) return false;
    value = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(n)) : static_cast<int32_t>(n);
    return true;
}

int32_t StrToIntDef(const std::string& text, int32_t fallback) {
    int32_t v;
    return TryStrToInt(text, v) ? v : fallback;
}

}  // namespace comp
