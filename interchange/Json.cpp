#include "interchange/Json.h"

#include <cstdio>

namespace interchange {

namespace {

std::string UnicodeEscape(unsigned cp) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04X", cp);
    return text;
}

}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        switch (b) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (b < 0x20 || b == 0x7F) {
            out += UnicodeEscape(b);
        } else if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            out += UnicodeEscape(static_cast<unsigned char>(utf8[i + 1]));  // U+0080 to U+009F
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    out += '"';
    return out;
}

}  // namespace interchange
