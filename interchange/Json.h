// JSON output helpers.
#pragma once

#include <string>
#include <string_view>

namespace interchange {

// A JSON string literal, quotes included, for UTF-8 text. Control characters,
// DEL and U+0080 to U+009F are written as \u escapes so that the output is
// safe to print.
std::string JsonString(std::string_view utf8);

}  // namespace interchange
