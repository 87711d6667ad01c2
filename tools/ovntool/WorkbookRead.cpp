#include "tools/ovntool/WorkbookRead.h"

#include <expat.h>
#include <zip.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "model/ItemRules.h"
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

// Text in a workbook writes characters XML cannot hold (control characters) as
// "_xHHHH_" (ECMA-376, ST_Xstring); "_x005F_" is a literal underscore.
std::string DecodeEscapes(std::string_view text) {
    const std::size_t first = text.find("_x");
    if (first == std::string_view::npos) return std::string(text);  // the common case, copied at once
    std::string decoded(text.substr(0, first));
    for (std::size_t i = first; i < text.size(); ++i) {
        unsigned code = 0;
        const bool escape =
            text.substr(i, 2) == "_x" && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr == text.data() + i + 6;
        if (!escape || (code >= 0xD800 && code <= 0xDFFF)) {
            decoded += text[i];
            continue;
        }
        AppendUtf8(decoded, code);
        i += 6;
    }
    return decoded;
}

// _rels/*.rels: the relationships by id (target and the type's last word), and
// the first target of each type's last word.
class RelationshipsHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes attributes) override {
        if (element != "Relationship") return;
        const std::string id(Attribute(attributes, "Id"));
        const std::string target(Attribute(attributes, "Target"));
        const std::string_view type = Attribute(attributes, "Type");
        const std::string kind(type.substr(type.rfind('/') == std::string_view::npos ? 0 : type.rfind('/') + 1));
        if (byId.size() < 10000) byId.emplace(id, target);
        if (kindById.size() < 10000) kindById.emplace(id, kind);
        if (byKind.size() < 10000) byKind.emplace(kind, target);
    }
    void End(std::string_view) override {}
    std::map<std::string, std::string> byId, kindById, byKind;
};

struct SheetEntry {
    std::string name;
    std::string id;  // the relationship id of its part
    bool hidden = false;
};

// The workbook part: its sheets in tab order, and whether it asks for every
// formula to be recalculated when it is opened.
class WorkbookHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes attributes) override {
        if (element == "sheet" && sheets.size() < kMaxSheets) {
            const std::string_view state = Attribute(attributes, "state");
            sheets.push_back({DecodeEscapes(Attribute(attributes, "name")), std::string(Attribute(attributes, "r:id")),
                              state == "hidden" || state == "veryHidden"});
        } else if (element == "calcPr") {
            const std::string_view full = Attribute(attributes, "fullCalcOnLoad");
            fullCalcOnLoad = full == "1" || full == "true";
        }
    }
    void End(std::string_view) override {}
    static constexpr std::size_t kMaxSheets = 10000;
    std::vector<SheetEntry> sheets;
    bool fullCalcOnLoad = false;
};

// The number formats every workbook knows by id (ECMA-376 18.8.30) that show a
// time: h:mm AM/PM, h:mm:ss AM/PM, h:mm, h:mm:ss, m/d/yy h:mm, mm:ss, [h]:mm:ss, mmss.0.
bool IsBuiltInTimeFormat(std::size_t id) {
    return (id >= 18 && id <= 22) || (id >= 45 && id <= 47);
}

// styles.xml: for each cell style (the index a cell's s names), whether its number format shows a time.
class StylesHandler : public PartHandler {
public:
    void Start(std::string_view element, Attributes attributes) override {
        const std::size_t id = ParseId(Attribute(attributes, "numFmtId"));
        // Differential formats (<dxfs>) have number formats and xf-like entries too: only these lists count.
        if (element == "numFmts" || element == "cellXfs") {
            list_ = element;
        } else if (element == "numFmt" && list_ == "numFmts" && timeCodes_.size() < kMaxStyles) {
            timeCodes_[id] = IsTimeFormat(Attribute(attributes, "formatCode"));
        } else if (element == "xf" && list_ == "cellXfs" && numberFormats_.size() < kMaxStyles) {
            numberFormats_.push_back(id);
        }
    }
    void End(std::string_view element) override {
        if (element == list_) list_.clear();
    }
    // A style the workbook does not define, or a number format it does not, is General.
    std::vector<bool> TimeStyles() const {
        std::vector<bool> time;
        for (const std::size_t id : numberFormats_) {
            const auto custom = timeCodes_.find(id);
            time.push_back(custom != timeCodes_.end() ? custom->second : IsBuiltInTimeFormat(id));
        }
        return time;
    }

private:
    static constexpr std::size_t kMaxStyles = 65536;
    static std::size_t ParseId(std::string_view text) {
        std::size_t id = 0;
        std::from_chars(text.data(), text.data() + text.size(), id);
        return id;
    }
    std::map<std::size_t, bool> timeCodes_;
    std::vector<std::size_t> numberFormats_;
    std::string list_;  // "numFmts" or "cellXfs" while inside one
};

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
    SheetHandler(const std::vector<std::string>& shared, const std::vector<bool>& timeStyles, bool fullCalcOnLoad)
        : shared_(shared), timeStyles_(timeStyles), fullCalcOnLoad_(fullCalcOnLoad) {}

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
            const auto style = WholeNumber(Attribute(attributes, "s"), timeStyles_.size());
            cell_ = SheetCell{
                column, SheetCell::Kind::Number, {}, style && *style < timeStyles_.size() && timeStyles_[*style]};
            type_ = Attribute(attributes, "t");
            hasValue_ = false;
            hasFormula_ = false;
            nextColumn_ = column + 1;
        } else if (element == "f") {
            hasFormula_ = true;
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
        const bool text = type_ == "str" || type_ == "inlineStr";
        if (hasFormula_ && (!hasValue_ || (cell_.value.empty() && !text))) {
            cell_.kind = SheetCell::Kind::NoResult;
        } else if (hasFormula_ && fullCalcOnLoad_) {
            cell_.kind = SheetCell::Kind::StaleResult;
        } else if (!hasValue_) {
            return;  // a formatted but empty cell
        } else if (type_ == "s") {
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
    const std::vector<bool>& timeStyles_;
    const bool fullCalcOnLoad_;
    SheetRow row_;
    SheetCell cell_;
    std::string type_;
    std::size_t lastRow_ = 0, nextColumn_ = 0, cellCount_ = 0, textBytes_ = 0;
    int phonetic_ = 0;
    bool inValue_ = false, inInline_ = false, hasValue_ = false, hasFormula_ = false;
};

Worksheet Failed(std::string problem) {
    return Worksheet{{}, {}, std::move(problem)};
}

}  // namespace

bool LooksLikeZipArchive(std::string_view bytes) {
    return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return ovn::UpperCaseAscii(a) == ovn::UpperCaseAscii(b);
}

// "Notes", "Kitchen" (at most ten names, then how many more).
std::string ListOfNames(const std::vector<const SheetEntry*>& sheets) {
    std::string list;
    for (std::size_t i = 0; i < sheets.size() && i < 10; ++i) {
        list += (i == 0 ? "" : ", ") + QuoteForMessage(sheets[i]->name);
    }
    if (sheets.size() > 10) list += " and " + std::to_string(sheets.size() - 10) + " more";
    return list;
}

// The sheet to read, as a person would choose it; nullptr and `problem` set when there is none.
const SheetEntry* ChooseSheet(const std::vector<SheetEntry>& sheets, const RelationshipsHandler& relationships,
                              std::string_view requested, std::string& problem) {
    std::vector<const SheetEntry*> visible;
    for (const SheetEntry& sheet : sheets) {
        if (!sheet.hidden) visible.push_back(&sheet);
    }
    const auto isWorksheet = [&](const SheetEntry& sheet) {
        const auto kind = relationships.kindById.find(sheet.id);
        return kind != relationships.kindById.end() && kind->second == "worksheet";
    };
    if (!requested.empty()) {
        for (const SheetEntry& sheet : sheets) {
            if (!SameNameIgnoringCase(sheet.name, requested)) continue;
            if (isWorksheet(sheet)) return &sheet;
            problem = "the sheet " + QuoteForMessage(sheet.name) + " is a chart or dialog, not a worksheet";
            return nullptr;
        }
        problem = "the workbook has no sheet " + QuoteForMessage(requested) +
                  (visible.empty() ? "" : "; its sheets: " + ListOfNames(visible));
        return nullptr;
    }
    std::vector<const SheetEntry*> worksheets;
    for (const SheetEntry* sheet : visible) {
        if (!isWorksheet(*sheet)) continue;
        if (SameNameIgnoringCase(sheet->name, "Menu")) return sheet;
        worksheets.push_back(sheet);
    }
    if (worksheets.size() == 1) return worksheets.front();
    if (worksheets.empty()) {
        problem = "the workbook has no visible worksheet; choose one with --sheet NAME";
    } else {
        problem = "the workbook has " + std::to_string(worksheets.size()) + " worksheets (" + ListOfNames(worksheets) +
                  ") and none is named \"Menu\"; choose one with --sheet NAME, or name the menu's sheet \"Menu\"";
    }
    return nullptr;
}

}  // namespace

Worksheet ReadMenuWorksheet(std::string_view bytes, std::string_view sheetName) {
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
    if (workbook.sheets.empty()) return Failed("the workbook has no worksheet");

    const std::string folder = FolderOf(workbookPart);
    const std::string relsPart = folder + "_rels/" + workbookPart.substr(folder.size()) + ".rels";
    RelationshipsHandler relationships;
    if (std::string problem = zip.Parse(relsPart, relationships); !problem.empty()) return Failed(problem);
    std::string choiceProblem;
    const SheetEntry* chosen = ChooseSheet(workbook.sheets, relationships, sheetName, choiceProblem);
    if (chosen == nullptr) return Failed(choiceProblem);
    const auto sheetTarget = relationships.byId.find(chosen->id);
    if (sheetTarget == relationships.byId.end()) {
        return Failed("the workbook's sheet " + QuoteForMessage(chosen->name) + " has no part");
    }

    Worksheet result{chosen->name, {}, {}};
    SharedStringsHandler shared;
    if (relationships.byKind.count("sharedStrings") != 0) {
        const std::string part = ResolveTarget(folder, relationships.byKind["sharedStrings"]);
        if (std::string problem = zip.Parse(part, shared); !problem.empty()) return Failed(problem);
    }
    StylesHandler styles;
    if (relationships.byKind.count("styles") != 0) {
        const std::string part = ResolveTarget(folder, relationships.byKind["styles"]);
        if (std::string problem = zip.Parse(part, styles); !problem.empty()) return Failed(problem);
    }
    const std::vector<bool> timeStyles = styles.TimeStyles();
    SheetHandler sheet(shared.strings, timeStyles, workbook.fullCalcOnLoad);
    result.problem = zip.Parse(ResolveTarget(folder, sheetTarget->second), sheet);
    if (result.problem.empty()) result.rows = std::move(sheet.rows);
    return result;
}

bool IsTimeFormat(std::string_view code) {
    bool time = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {  // literal text
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {  // the next character is literal, a space or a fill
            ++i;
        } else if (c == '[') {  // a colour, a condition or a locale; [h], [mm], [ss] are elapsed time
            const std::size_t close = std::min(code.find(']', i), code.size());
            const std::string inside = ovn::UpperCaseAscii(code.substr(i + 1, close - i - 1));
            time |= !inside.empty() && inside.find_first_not_of(inside[0]) == std::string::npos &&
                    (inside[0] == 'H' || inside[0] == 'M' || inside[0] == 'S');
            i = close;
        } else if (c == 'h' || c == 'H' || c == 's' || c == 'S') {
            time = true;
        }
    }
    return time;
}

namespace {

// A whole number of minutes as HHMM (hours may pass 99).
std::string Hhmm(long long minutes) {
    const std::string digits = std::to_string(minutes / 60 * 100 + minutes % 60);
    return std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits;
}

// A number of days in whole minutes, or nullopt when it is not (a spreadsheet keeps about 15 digits).
std::optional<long long> WholeMinutes(double days) {
    const double minutes = days * 24 * 60;
    const double rounded = std::round(minutes);
    if (std::fabs(minutes - rounded) > 1e-6 * std::max(1.0, minutes)) return std::nullopt;
    return static_cast<long long>(rounded);
}

// A time cell's number as a cook time: a fraction of a day, in whole minutes, up to 18:00.
NormalisedValue DurationText(const std::string& written, double days) {
    constexpr double kMaxDays = 18.0 / 24;
    const std::string quoted = QuoteForMessage(written);
    if (days < 0) return {written, "the time " + quoted + " is negative"};
    if (days > 1e6) return {written, "the time " + quoted + " is over 18:00"};
    const auto minutes = WholeMinutes(days);
    if (!minutes) return {written, "the time " + quoted + " is not a whole minute"};
    if (days > kMaxDays) {
        const std::string hhmm = Hhmm(*minutes);
        const std::string shown = hhmm.substr(0, hhmm.size() - 2) + ":" + hhmm.substr(hhmm.size() - 2);
        return {written, "the time " + quoted + " (" + shown + ") is over 18:00"};
    }
    return {Hhmm(*minutes), ""};
}

}  // namespace

NormalisedValue CellText(const SheetCell& cell, Column column) {
    switch (cell.kind) {
        case SheetCell::Kind::Text:
            return {cell.value, ""};
        case SheetCell::Kind::Boolean:
            if (cell.value == "0" || cell.value == "1") return {cell.value == "1" ? "TRUE" : "FALSE", ""};
            return {cell.value, QuoteForMessage(cell.value) + " is not a boolean value"};
        case SheetCell::Kind::Error:
            return {cell.value, "the cell shows the error " + QuoteForMessage(cell.value)};
        case SheetCell::Kind::NoResult:
            return {"", "the formula has no calculated result; open and save the workbook in a spreadsheet first"};
        case SheetCell::Kind::StaleResult:
            return {"",
                    "the workbook asks for its formulas to be recalculated, so the stored result may be stale; "
                    "open and save the workbook in a spreadsheet first"};
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
    if (column == Column::CookTime && cell.timeFormat) return DurationText(cell.value, number);
    if (column == Column::CookTime && number >= 0 && number < 1 && !whole) {
        // A time of day is a fraction of 24 hours.
        const auto minutes = WholeMinutes(number);
        if (!minutes) return {cell.value, "the time of day " + QuoteForMessage(cell.value) + " is not a whole minute"};
        return {Hhmm(*minutes), ""};
    }
    if (whole) return {std::to_string(static_cast<long long>(number)), ""};
    if (column == Column::CookTime) {
        return {cell.value, "the number " + QuoteForMessage(cell.value) +
                                " is neither a time of day (below 1) nor the digits HHMM"};
    }
    return {cell.value, ""};  // as written; the item rules refuse it
}

}  // namespace ovntool
