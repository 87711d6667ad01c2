#include "interchange/Csv.h"

#include <algorithm>

#include "interchange/Text.h"

namespace interchange {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

namespace {

class CsvParser {
public:
    explicit CsvParser(std::string_view text) : text_(text) {}

    CsvDocument Parse() {
        CsvDocument doc;
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        separator_ = HeaderSeparator();
        while (pos_ < text_.size()) {
            // A line of separators only is how a spreadsheet writes an empty row: no record, as an empty line.
            const std::size_t content = std::min(text_.find_first_not_of(separator_, pos_), text_.size());
            if (content == text_.size()) break;
            if (text_[content] == '\n' || text_.substr(content, 2) == "\r\n") {
                pos_ = content;
                SkipLineEnd();
                continue;
            }
            CsvRecord record;
            record.line = line_;
            if (!ParseRecord(record)) {
                doc.error = error_;
                return doc;
            }
            doc.records.push_back(std::move(record));
        }
        return doc;
    }

private:
    // The first comma, semicolon or tab outside quotes on the first line that is not empty.
    char HeaderSeparator() const {
        bool quoted = false;
        for (std::size_t at = text_.find_first_not_of("\r\n", pos_); at < text_.size(); ++at) {
            const char c = text_[at];
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            if (c == ',' || c == ';' || c == '\t') return c;
            if (c == '\r' || c == '\n') break;
        }
        return ',';
    }

    bool AtLineEnd() const {
        return text_[pos_] == '\n' || (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n');
    }
    void SkipLineEnd() {
        pos_ += text_[pos_] == '\r' ? 2 : 1;
        ++line_;
    }
    bool Fail(std::size_t line, const std::string& what) {
        error_ = "line " + std::to_string(line) + ": " + what;
        return false;
    }

    // Reads fields up to and including the record's line end (or the text's end).
    bool ParseRecord(CsvRecord& record) {
        for (;;) {
            std::string field;
            // Fields past the ones kept are only counted: a line of commas costs no memory.
            const bool keep = record.fields.size() < kMaxCsvFields;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                if (!ParseQuoted(field)) return false;
            } else if (!ParseUnquoted(field, keep)) {
                return false;
            }
            if (keep) record.fields.push_back(std::move(field));
            ++record.fieldCount;
            if (pos_ >= text_.size()) return true;
            if (text_[pos_] == separator_) {
                if (!keep) {  // a run of separators past the kept fields: its empty fields counted at once
                    const std::size_t run = std::min(text_.find_first_not_of(separator_, pos_), text_.size()) - pos_;
                    record.fieldCount += run - 1;
                    pos_ += run - 1;
                }
                ++pos_;
                continue;
            }
            SkipLineEnd();  // the field parsers stop only at a separator or a line end
            return true;
        }
    }

    bool ParseQuoted(std::string& field) {
        const std::size_t openLine = line_;
        ++pos_;
        for (;;) {
            const std::size_t quote = text_.find('"', pos_);
            if (quote == std::string_view::npos) return Fail(openLine, "a quoted field is never closed");
            const std::string_view part = text_.substr(pos_, quote - pos_);
            line_ += static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n'));
            field.append(part);
            pos_ = quote + 1;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                field += '"';
                ++pos_;
                continue;
            }
            break;
        }
        if (pos_ < text_.size() && text_[pos_] != separator_ && !AtLineEnd()) {
            return Fail(line_, "text after the closing double quote of a field");
        }
        return true;
    }

    bool ParseUnquoted(std::string& field, bool keep) {
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != separator_ && text_[end] != '\r' && text_[end] != '\n' &&
               text_[end] != '"') {
            ++end;
        }
        if (keep) field.assign(text_.substr(pos_, end - pos_));
        pos_ = end;
        if (pos_ < text_.size()) {
            if (text_[pos_] == '"') return Fail(line_, "a double quote inside an unquoted field");
            if (text_[pos_] == '\r' && !AtLineEnd()) return Fail(line_, "a carriage return outside quotes");
        }
        return true;
    }

    std::string_view text_;
    char separator_ = ',';
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::string error_;
};

}  // namespace

CsvDocument ParseCsv(std::string_view text) {
    return CsvParser(text).Parse();
}

Utf16Decoded DecodeUtf16(std::string_view bytes) {
    Utf16Decoded result;
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") return result;
    result.utf16 = true;
    if (bytes.size() % 2 != 0) {
        result.problem = "the UTF-16 text ends in half a character (an odd number of bytes)";
        return result;
    }
    const auto unitAt = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return little ? unsigned(first | second << 8) : unsigned(first << 8 | second);
    };
    std::size_t line = 1;
    result.utf8.reserve(bytes.size());
    for (std::size_t at = 2; at < bytes.size(); at += 2) {
        unsigned code = unitAt(at);
        if (code >= 0xD800 && code <= 0xDFFF) {
            const unsigned low = at + 3 < bytes.size() ? unitAt(at + 2) : 0;
            if (code > 0xDBFF || low < 0xDC00 || low > 0xDFFF) {
                result.problem = "line " + std::to_string(line) + ": the UTF-16 text holds an unpaired surrogate";
                return result;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        }
        if (code == '\n') ++line;
        AppendUtf8(result.utf8, code);
    }
    return result;
}

}  // namespace interchange
