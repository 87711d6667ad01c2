// Text conversions. Menu texts are bytes (Latin-1); every table format, and
// everything ovntool prints or reads, is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/ShownTexts.h"

namespace interchange {

// Each byte becomes the character of the same number (U+0000 to U+00FF).
std::string Latin1ToUtf8(std::string_view bytes);

// Appends the character `code` (not a surrogate, at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

struct Utf8ToLatin1Result {
    bool ok = true;
    std::string bytes;
    std::string problem;  // "not valid UTF-8", "character U+20AC is outside U+0000 to U+00FF"
};
// The reverse of Latin1ToUtf8: invalid UTF-8 (overlong forms and surrogates
// included) and characters above U+00FF are refused.
Utf8ToLatin1Result Utf8ToLatin1(std::string_view utf8);

// A name as a terminal may show it: bytes a terminal would act on (below 32,
// 127, 128 to 159) and the backslash become \xHH and \\; others are UTF-8.
std::string EscapeForTerminal(std::string_view bytes);
// The number of columns that EscapeForTerminal's result takes.
std::size_t DisplayWidth(std::string_view utf8);

// The text escaped as above, and a double quote as \", in double quotes.
std::string Quoted(std::string_view bytes);
// A file name (UTF-8 as the system gives it) for one line of output: a double
// quote as \", a backslash as \\, control characters and bytes that are not
// UTF-8 as \xHH; so a file gives one line and the name can be read back.
std::string EscapePath(std::string_view path);
// For messages: the text escaped, in double quotes, cut after `limit` bytes.
std::string QuoteForMessage(std::string_view bytes, std::size_t limit = 40);

// Shared with the menu card (model/ShownTexts.h).
using ovn::OvenTypeName;
using ovn::TimeWithColon;

using ovn::PageItemOfSlot;

}  // namespace interchange
