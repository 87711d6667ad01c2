#include "interchange/WorkbookArchive.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <vector>

#include "interchange/Text.h"
#include "interchange/WorkbookRead.h"

namespace interchange {

namespace {

// Element and attribute names come from expat as "namespace\x01local".
constexpr char kNamespaceSeparator = '\x01';

bool HasNamespace(std::string_view name) {
    return name.find(kNamespaceSeparator) != std::string_view::npos;
}

// After a handler finds a problem, expat reads no further.
void StopOnProblem(PartHandler* handler) {
    if (!handler->problem.empty()) XML_StopParser(handler->parser, XML_FALSE);
}

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

}  // namespace

std::string_view LocalName(std::string_view name) {
    const std::size_t at = name.rfind(kNamespaceSeparator);
    return at == std::string_view::npos ? name : name.substr(at + 1);
}

std::string_view Attribute(Attributes attributes, std::string_view name) {
    const bool relationshipId = name == "r:id";
    for (std::size_t i = 0; attributes[i] != nullptr; i += 2) {
        const std::string_view full = attributes[i];
        if (relationshipId ? (HasNamespace(full) && LocalName(full) == "id") : full == name) return attributes[i + 1];
    }
    return {};
}

ZipArchive::ZipArchive(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source != nullptr) {
        archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (archive_ == nullptr) zip_source_free(source);
    }
    if (archive_ == nullptr) problem_ = std::string("not a readable zip archive (") + zip_error_strerror(&error) + ")";
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive() {
    if (archive_ != nullptr) zip_discard(archive_);
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

std::string FolderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

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

}  // namespace interchange
