#include "tools/ovntool/Csv.h"

#include <algorithm>

namespace ovntool {

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
        while (pos_ < text_.size()) {
            if (AtLineEnd()) {  // an empty line holds no record
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
            if (text_[pos_] == ',') {
                if (!keep) {  // a run of commas past the kept fields: its empty fields counted at once
                    const std::size_t run = std::min(text_.find_first_not_of(',', pos_), text_.size()) - pos_;
                    record.fieldCount += run - 1;
                    pos_ += run - 1;
                }
                ++pos_;
                continue;
            }
            SkipLineEnd();  // the field parsers stop only at a comma or a line end
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
        if (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) {
            return Fail(line_, "text after the closing double quote of a field");
        }
        return true;
    }

    bool ParseUnquoted(std::string& field, bool keep) {
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != ',' && text_[end] != '\r' && text_[end] != '\n' &&
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
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::string error_;
};

}  // namespace

CsvDocument ParseCsv(std::string_view text) {
    return CsvParser(text).Parse();
}

}  // namespace ovntool
