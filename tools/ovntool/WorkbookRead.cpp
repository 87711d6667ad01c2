#include "tools/ovntool/WorkbookRead.h"

#include <expat.h>
#include <zip.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "tools/ovntool/Text.h"

namespace ovntool {

namespace {

// Element and attribute names come from expat as "namespace\x01local".
constexpr char kNamespaceSeparator = '\x01';

std::string_view LocalName(std::string_view name) {
    const std::size_t at = name.rfind(kNamespaceSeparator);
    return at == std::string_view::npos ? name : name.substr(at + 1);
}

bool HasNamespace(std::string_view name) {
    return name.find(kNamespaceSeparator) != std::string_view::npos;
}

using Attributes = const XML_Char**;

// The unqualified attribute `name`, or the relationship id when `name` is "r:id".
std::string_view Attribute(Attributes attributes, std::string_view name) {
    const bool relationshipId = name == "r:id";
    for (std::size_t i = 0; attributes[i] != nullptr; i += 2) {
        const std::string_view full = attributes[i];
        if (relationshipId ? (HasNamespace(full) && LocalName(full) == "id") : full == name) return attributes[i + 1];
    }
    return {};
}

// What one XML part is read for: the parser calls these, and stops when a
// handler sets `problem`.
class PartHandler {
public:
    virtual ~PartHandler() = default;
    virtual void Start(std::string_view element, Attributes attributes) = 0;
    virtual void End(std::string_view element) = 0;
    virtual void Text(std::string_view /*text*/) {}
    std::string problem;
    XML_Parser parser = nullptr;
};

// After a handler finds a problem, expat reads no further.
void StopOnProblem(PartHandler* handler) {
    if (!handler->problem.empty()) XML_StopParser(handler->parser, XML_FALSE);
}

class ZipArchive {
public:
    explicit ZipArchive(std::string_view bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source != nullptr) {
            archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
            if (archive_ == nullptr) zip_source_free(source);
        }
        if (archive_ == nullptr)
            problem_ = std::string("not a readable zip archive (") + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
    }
    ~ZipArchive() {
        if (archive_ != nullptr) zip_discard(archive_);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    const std::string& problem() const { return problem_; }
    bool Has(const std::string& name) const { return zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE) >= 0; }

    // Streams the part `name` through expat into `handler`; returns the problem, or "" when it was read.
    std::string Parse(const std::string& name, PartHandler& handler) const;

private:
    zip_t* archive_ = nullptr;
    std::string problem_;
};

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* handler = static_cast<PartHandler*>(data);
    if (handler->problem.empty()) handler->Start(LocalName(name), attributes);
    StopOnProblem(handler);
}
void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto* handler = static_cast<PartHandler*>(data);
    if (handler->problem.empty()) handler->End(LocalName(name));
    StopOnProblem(handler);
}
void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto* handler = static_cast<PartHandler*>(data);
    if (handler->problem.empty()) handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
}

std::string ZipArchive::Parse(const std::string& name, PartHandler& handler) const {
    const std::string part = QuoteForMessage(name);
    const zip_int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return "the workbook has no part " + part;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > kMaxWorkbookPartBytes) {
        return "the part " + part + " unpacks to " + std::to_string(stat.size) + " bytes, more than " +
               std::to_string(kMaxWorkbookPartBytes);
    }
    const std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
    if (!file) return "the part " + part + " cannot be unpacked (" + zip_strerror(archive_) + ")";

    // Workbook parts never declare a document type, so any DTD (the road to
    // entity expansion and external entities) is refused outright.
    const std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) return "out of memory";
    XML_Parser p = parser.get();
    handler.parser = p;
    XML_SetUserData(p, &handler);
    XML_SetElementHandler(p, OnStart, OnEnd);
    XML_SetCharacterDataHandler(p, OnText);
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(p, 10.0f);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(p, 1024 * 1024);
    XML_SetStartDoctypeDeclHandler(p, [](void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        auto* handler = static_cast<PartHandler*>(data);
        handler->problem = "declares a document type (DTD), which no workbook does";
        StopOnProblem(handler);
    });

    std::vector<char> chunk(64 * 1024);
    std::size_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), chunk.data(), chunk.size());
        if (got < 0) return "the part " + part + " cannot be unpacked (" + zip_file_strerror(file.get()) + ")";
        total += static_cast<std::size_t>(got);
        if (total > kMaxWorkbookPartBytes) {
            return "the part " + part + " unpacks to more than " + std::to_string(kMaxWorkbookPartBytes) + " bytes";
        }
        const bool last = got == 0;
        const XML_Status status = XML_Parse(p, chunk.data(), static_cast<int>(got), last ? XML_TRUE : XML_FALSE);
        if (!handler.problem.empty()) return "the part " + part + " " + handler.problem;
        if (status != XML_STATUS_OK) {
            return "the part " + part + " is not well-formed XML (line " + std::to_string(XML_GetCurrentLineNumber(p)) +
                   ": " + XML_ErrorString(XML_GetErrorCode(p)) + ")";
        }
        if (last) return "";
    }
}

// The folder of a part name, with its trailing slash ("xl/" for "xl/workbook.xml").
std::string FolderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target relative to the folder of its source part, as a zip entry name.
std::string ResolveTarget(const std::string& folder, std::string_view target) {
    std::string path =
        !target.empty() && target[0] == '/' ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments) resolved += (resolved.empty() ? "" : "/") + segment;
    return resolved;
}

// _rels/*.rels: the relationships by id, and the first target of each type's last word.
class RelationshipsHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes attributes) override {
        if (element != "Relationship") return;
        const std::string id(Attribute(attributes, "Id"));
        const std::string target(Attribute(attributes, "Target"));
        const std::string_view type = Attribute(attributes, "Type");
        const std::string kind(type.substr(type.rfind('/') == std::string_view::npos ? 0 : type.rfind('/') + 1));
        if (byId.size() < 10000) byId.emplace(id, target);
        if (byKind.size() < 10000) byKind.emplace(kind, target);
    }
    void End(std::string_view) override {}
    std::map<std::string, std::string> byId, byKind;
};

// The workbook part: the relationship id of the first sheet in tab order.
class WorkbookHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes attributes) override {
        if (element == "sheet" && !found) {
            firstSheetId = Attribute(attributes, "r:id");
            found = true;
        }
    }
    void End(std::string_view) override {}
    bool found = false;
    std::string firstSheetId;
};

// Text in a workbook writes characters XML cannot hold (control characters) as
// "_xHHHH_" (ECMA-376, ST_Xstring); "_x005F_" is a literal underscore.
std::string DecodeEscapes(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned code = 0;
        const bool escape =
            text.substr(i, 2) == "_x" && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr == text.data() + i + 6;
        if (!escape || (code >= 0xD800 && code <= 0xDFFF)) {
            decoded += text[i];
            continue;
        }
        if (code < 0x80) {
            decoded += static_cast<char>(code);
        } else if (code < 0x800) {
            decoded += static_cast<char>(0xC0 | code >> 6);
            decoded += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            decoded += static_cast<char>(0xE0 | code >> 12);
            decoded += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            decoded += static_cast<char>(0x80 | (code & 0x3F));
        }
        i += 6;
    }
    return decoded;
}

// The shared-string table: each <si>'s text runs joined; phonetic runs (<rPh>) left out.
class SharedStringsHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes) override {
        if (element == "si") {
            if (strings.size() >= kMaxSharedStrings) {
                problem = "holds more than " + std::to_string(kMaxSharedStrings) + " strings";
                return;
            }
            current.clear();
        } else if (element == "rPh") {
            ++phonetic;
        } else if (element == "t" && phonetic == 0) {
            inText = true;
        }
    }
    void End(std::string_view element) override {
        if (element == "si") {
            strings.push_back(DecodeEscapes(current));
            current.clear();
        } else if (element == "rPh") {
            --phonetic;
        } else if (element == "t") {
            inText = false;
        }
    }
    void Text(std::string_view text) override {
        if (inText) current += text;
    }
    std::vector<std::string> strings;

private:
    std::string current;
    int phonetic = 0;
    bool inText = false;
};

// "B12" -> column 1; a reference without letters or past column XFD gives npos.
std::size_t ColumnOfReference(std::string_view reference) {
    std::size_t column = 0;
    std::size_t letters = 0;
    for (const char c : reference) {
        if (c < 'A' || c > 'Z') break;
        column = column * 26 + static_cast<std::size_t>(c - 'A' + 1);
        if (++letters > 3) return std::string_view::npos;
    }
    if (letters == 0 || column > 16384) return std::string_view::npos;
    return column - 1;
}

std::optional<std::size_t> WholeNumber(std::string_view text, std::size_t max) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
    return value;
}

// The sheet: rows of cells with their type (t) and value (<v>, or <is> for inline strings).
class SheetHandler : public PartHandler {
public:
    explicit SheetHandler(const std::vector<std::string>& shared) : shared_(shared) {}

    void Start(std::string_view element, Attributes attributes) override {
        if (element == "row") {
            const std::string_view r = Attribute(attributes, "r");
            const auto number = r.empty() ? std::optional<std::size_t>(lastRow_ + 1) : WholeNumber(r, 1048576);
            if (!number || *number == 0) {
                problem = "has a row numbered " + QuoteForMessage(r);
                return;
            }
            row_ = SheetRow{*number, {}};
            lastRow_ = *number;
            nextColumn_ = 0;
        } else if (element == "c") {
            const std::string_view r = Attribute(attributes, "r");
            const std::size_t column = r.empty() ? nextColumn_ : ColumnOfReference(r);
            if (column == std::string_view::npos || column >= 16384) {
                problem = "has a cell at " + QuoteForMessage(r) + " on row " + std::to_string(row_.number);
                return;
            }
            cell_ = SheetCell{column, SheetCell::Kind::Number, {}};
            type_ = Attribute(attributes, "t");
            hasValue_ = false;
            nextColumn_ = column + 1;
        } else if (element == "v") {
            inValue_ = true;
            hasValue_ = true;
        } else if (element == "is") {
            inInline_ = true;
            hasValue_ = true;
        } else if (element == "rPh") {
            ++phonetic_;
        } else if (element == "t" && inInline_ && phonetic_ == 0) {
            inValue_ = true;
        }
    }

    void End(std::string_view element) override {
        if (element == "v" || element == "t") {
            inValue_ = false;
        } else if (element == "is") {
            inInline_ = false;
        } else if (element == "rPh") {
            --phonetic_;
        } else if (element == "c") {
            FinishCell();
        } else if (element == "row") {
            if (!row_.cells.empty()) rows.push_back(std::move(row_));
            row_ = SheetRow{};
        }
    }

    void Text(std::string_view text) override {
        if (inValue_) cell_.value += text;
    }

    std::vector<SheetRow> rows;

private:
    void FinishCell() {
        if (!hasValue_) return;  // a formatted but empty cell
        if (type_ == "s") {
            const auto index = WholeNumber(cell_.value, shared_.size());
            if (!index || *index >= shared_.size()) {
                problem = "refers to shared string " + QuoteForMessage(cell_.value) + ", which does not exist";
                return;
            }
            cell_ = SheetCell{cell_.column, SheetCell::Kind::Text, shared_[*index]};
        } else if (type_ == "inlineStr" || type_ == "str" || type_ == "d") {
            cell_.kind = SheetCell::Kind::Text;
            cell_.value = DecodeEscapes(cell_.value);
        } else if (type_ == "b") {
            cell_.kind = SheetCell::Kind::Boolean;
        } else if (type_ == "e") {
            cell_.kind = SheetCell::Kind::Error;
        } else if (type_.empty() || type_ == "n") {
            cell_.kind = SheetCell::Kind::Number;
        } else {
            problem = "has a cell of unknown type " + QuoteForMessage(type_);
            return;
        }
        if (++cellCount_ > kMaxSheetCells) {
            problem = "holds more than " + std::to_string(kMaxSheetCells) + " cells; a menu has 808";
            return;
        }
        // One long shared string used in many cells would multiply; the cells' text is capped as the part is.
        textBytes_ += cell_.value.size();
        if (textBytes_ > kMaxWorkbookPartBytes) {
            problem = "holds more than " + std::to_string(kMaxWorkbookPartBytes) + " bytes of text in its cells";
            return;
        }
        row_.cells.push_back(std::move(cell_));
        cell_ = SheetCell{};
    }

    const std::vector<std::string>& shared_;
    SheetRow row_;
    SheetCell cell_;
    std::string type_;
    std::size_t lastRow_ = 0, nextColumn_ = 0, cellCount_ = 0, textBytes_ = 0;
    int phonetic_ = 0;
    bool inValue_ = false, inInline_ = false, hasValue_ = false;
};

Worksheet Failed(std::string problem) {
    return Worksheet{{}, std::move(problem)};
}

}  // namespace

bool LooksLikeZipArchive(std::string_view bytes) {
    return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

Worksheet ReadFirstWorksheet(std::string_view bytes) {
    const ZipArchive zip(bytes);
    if (!zip.problem().empty()) return Failed(zip.problem());

    RelationshipsHandler root;
    std::string workbookPart = "xl/workbook.xml";
    if (zip.Has("_rels/.rels")) {
        if (std::string problem = zip.Parse("_rels/.rels", root); !problem.empty()) return Failed(problem);
        if (root.byKind.count("officeDocument") != 0) workbookPart = ResolveTarget("", root.byKind["officeDocument"]);
    }
    if (!zip.Has(workbookPart) && zip.Has("content.xml")) {
        return Failed("an OpenDocument spreadsheet (.ods), not an .xlsx workbook; save it as .xlsx");
    }
    WorkbookHandler workbook;
    if (std::string problem = zip.Parse(workbookPart, workbook); !problem.empty()) return Failed(problem);
    if (!workbook.found) return Failed("the workbook has no worksheet");

    const std::string folder = FolderOf(workbookPart);
    const std::string relsPart = folder + "_rels/" + workbookPart.substr(folder.size()) + ".rels";
    RelationshipsHandler relationships;
    if (std::string problem = zip.Parse(relsPart, relationships); !problem.empty()) return Failed(problem);
    const auto sheetTarget = relationships.byId.find(workbook.firstSheetId);
    if (sheetTarget == relationships.byId.end()) {
        return Failed("the workbook's first sheet " + QuoteForMessage(workbook.firstSheetId) + " has no part");
    }

    SharedStringsHandler shared;
    if (relationships.byKind.count("sharedStrings") != 0) {
        const std::string part = ResolveTarget(folder, relationships.byKind["sharedStrings"]);
        if (std::string problem = zip.Parse(part, shared); !problem.empty()) return Failed(problem);
    }
    SheetHandler sheet(shared.strings);
    if (std::string problem = zip.Parse(ResolveTarget(folder, sheetTarget->second), sheet); !problem.empty()) {
        return Failed(problem);
    }
    return Worksheet{std::move(sheet.rows), ""};
}

NormalisedValue CellText(const SheetCell& cell, Column column) {
    switch (cell.kind) {
        case SheetCell::Kind::Text:
            return {cell.value, ""};
        case SheetCell::Kind::Boolean:
            if (cell.value == "0" || cell.value == "1") return {cell.value == "1" ? "TRUE" : "FALSE", ""};
            return {cell.value, QuoteForMessage(cell.value) + " is not a boolean value"};
        case SheetCell::Kind::Error:
            return {cell.value, "the cell shows the error " + QuoteForMessage(cell.value)};
        case SheetCell::Kind::Number:
            break;
    }
    double number = 0;
    const char* end = cell.value.data() + cell.value.size();
    const auto [stop, error] = std::from_chars(cell.value.data(), end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) {
        return {cell.value, QuoteForMessage(cell.value) + " is not a number"};
    }
    const bool whole = number >= 0 && number < 1e15 && number == std::floor(number);
    if (column == Column::CookTime && number >= 0 && number < 1 && !whole) {
        // A time of day is a fraction of 24 hours; a spreadsheet keeps about 15 digits of it.
        const double minutes = number * 24 * 60;
        const double rounded = std::round(minutes);
        if (std::fabs(minutes - rounded) > 1e-6) {
            return {cell.value, "the time of day " + QuoteForMessage(cell.value) + " is not a whole minute"};
        }
        const int m = static_cast<int>(rounded);
        const std::string hhmm = std::to_string(m / 60 * 100 + m % 60);
        return {std::string(4 - std::min<std::size_t>(4, hhmm.size()), '0') + hhmm, ""};
    }
    if (whole) return {std::to_string(static_cast<long long>(number)), ""};
    if (column == Column::CookTime) {
        return {cell.value, "the number " + QuoteForMessage(cell.value) +
                                " is neither a time of day (below 1) nor the digits HHMM"};
    }
    return {cell.value, ""};  // as written; the item rules refuse it
}

}  // namespace ovntool
