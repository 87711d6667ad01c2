// CSV as RFC 4180 has it: comma separated, fields with a comma, double quote,
// CR or LF in double quotes, a double quote inside doubled. Lines end in LF or
// CRLF on input; output always uses LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovntool {

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
    std::vector<CsvRecord> records;  // empty lines are skipped
    std::string error;               // "line N: ..." when the text is not CSV; empty otherwise
};

// Parses the whole text in one pass (a leading UTF-8 byte-order mark is
// dropped). Stops at the first structural fault: an unterminated quote, text
// after a closing quote, a quote inside an unquoted field, a lone CR.
CsvDocument ParseCsv(std::string_view text);

}  // namespace ovntool
