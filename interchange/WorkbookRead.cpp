// The workbook's parts, read through the archive (WorkbookArchive.h): the
// relationships, the workbook's sheets, the styles' time formats, the shared
// strings and the chosen sheet's cells.
#include "interchange/WorkbookRead.h"

#include <charconv>
#include <map>

#include "interchange/Text.h"
#include "interchange/WorkbookArchive.h"
#include "model/ItemRules.h"

namespace interchange {

namespace {

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

}  // namespace interchange
