#include "interchange/Text.h"

#include <cstdio>

#include "model/MenuModel.h"

namespace interchange {

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    }
    out += static_cast<char>(0x80 | (code & 0x3F));
}

namespace {

std::string CodePointName(std::uint32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `i` of at least two bytes
// (overlong forms and surrogates refused) and its code point; 0 when there is none.
std::size_t DecodeUtf8At(std::string_view utf8, std::size_t i, std::uint32_t& cp) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    }
    if (length == 0 || i + length > utf8.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(utf8[i + k]);
        if (!IsContinuation(b)) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF) ? length : 0;
}

}  // namespace

Utf8ToLatin1Result Utf8ToLatin1(std::string_view utf8) {
    Utf8ToLatin1Result result;
    result.bytes.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            result.bytes += static_cast<char>(b0);
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8At(utf8, i, cp);
        if (length == 0) {
            result.ok = false;
            result.problem = "not valid UTF-8";
            return result;
        }
        if (cp > 0xFF) {
            result.ok = false;
            result.problem = "character " + CodePointName(cp) + " is outside U+0000 to U+00FF";
            return result;
        }
        result.bytes += static_cast<char>(static_cast<unsigned char>(cp));
        i += length;
    }
    return result;
}

namespace {

void AppendHex(std::string& out, unsigned char b) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(b));
    out += text;
}

std::string Escaped(std::string_view bytes, bool quote) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == 127 || (b >= 128 && b <= 159)) {
            AppendHex(out, b);
        } else if (c == '\\' || (quote && c == '"')) {
            out += '\\';
            out += c;
        } else {
            out += Latin1ToUtf8(std::string_view(&c, 1));
        }
    }
    return out;
}

// The length of the UTF-8 sequence at `i` when it encodes a character a
// terminal prints (not one of the C1 controls U+0080 to U+009F), else 0.
std::size_t PrintableUtf8Length(std::string_view text, std::size_t i) {
    std::uint32_t cp = 0;
    const std::size_t length = DecodeUtf8At(text, i, cp);
    return length > 0 && cp >= 0xA0 ? length : 0;
}

}  // namespace

std::string EscapeForTerminal(std::string_view bytes) {
    return Escaped(bytes, false);
}

std::string EscapePath(std::string_view path) {
    std::string out;
    for (std::size_t i = 0; i < path.size();) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (b < 32 || b == 127) {
            AppendHex(out, b);
        } else if (b == '\\' || b == '"') {
            out += '\\';
            out += path[i];
        } else if (b < 128) {
            out += path[i];
        } else if (const std::size_t length = PrintableUtf8Length(path, i); length > 0) {
            out.append(path.substr(i, length));
            i += length;
            continue;
        } else {
            AppendHex(out, b);
        }
        ++i;
    }
    return out;
}

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    }
    return width;
}

std::string Quoted(std::string_view bytes) {
    // Appended piece by piece: g++ 12 at -O2 warns falsely (-Wrestrict) on "literal" + std::string.
    std::string out(1, '"');
    out += Escaped(bytes, true);
    out += '"';
    return out;
}

std::string QuoteForMessage(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit) return Quoted(bytes);
    return Quoted(bytes.substr(0, limit)) + "... (" + std::to_string(bytes.size()) + " bytes)";
}

}  // namespace interchange
