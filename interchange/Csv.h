// CSV as RFC 4180 has it: comma separated, fields with a comma, double quote,
// CR or LF in double quotes, a double quote inside doubled. Lines end in LF or
// CRLF on input; output always uses LF. On input the separator may also be a
// semicolon or a tab, as spreadsheets write CSV in many locales, and the text
// may be UTF-16 ("Unicode text").
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace interchange {

// One field as it goes out: quoted only when it must be.
std::string CsvField(std::string_view text);

// More fields than any menu CSV has; a record keeps no more than these.
inline constexpr std::size_t kMaxCsvFields = 64;

struct CsvRecord {
    std::size_t line = 0;             // the line the record starts on, from 1
    std::vector<std::string> fields;  // the first kMaxCsvFields fields
    std::size_t fieldCount = 0;       // all of them
};

struct CsvDocument {
    std::vector<CsvRecord> records;  // empty lines and lines of separators only are skipped
    std::string error;               // "line N: ..." when the text is not CSV; empty otherwise
};

// Parses the whole text in one pass (a leading UTF-8 byte-order mark is
// dropped). The separator is the first comma, semicolon or tab outside quotes
// on the first line that is not empty (the header); a comma when there is none.
// Stops at the first structural fault: an unterminated quote, text after a
// closing quote, a quote inside an unquoted field, a lone CR.
CsvDocument ParseCsv(std::string_view text);

// Text that starts with a UTF-16 byte-order mark (little or big endian) as
// UTF-8 without the mark. `problem` is set for an odd number of bytes or an
// unpaired surrogate; text without the mark comes back with `utf16` false.
struct Utf16Decoded {
    bool utf16 = false;
    std::string utf8;
    std::string problem;
};
Utf16Decoded DecodeUtf16(std::string_view bytes);

}  // namespace interchange
