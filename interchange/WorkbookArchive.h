// The workbook reader's plumbing: a zip archive read with libzip, each XML part
// streamed through expat into a handler, and the names and texts of the parts.
// For the reader's own files (WorkbookRead.cpp); the library's users read
// workbooks through WorkbookRead.h.
#pragma once

#include <expat.h>
#include <zip.h>

#include <string>
#include <string_view>

namespace interchange {

using Attributes = const XML_Char**;

// The local part of an element or attribute name ("c" for the main namespace's "c").
std::string_view LocalName(std::string_view name);

// The unqualified attribute `name`, or the relationship id when `name` is "r:id".
std::string_view Attribute(Attributes attributes, std::string_view name);

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

class ZipArchive {
public:
    explicit ZipArchive(std::string_view bytes);
    ~ZipArchive();
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

// The folder of a part name, with its trailing slash ("xl/" for "xl/workbook.xml").
std::string FolderOf(const std::string& part);

// A relationship target relative to the folder of its source part, as a zip entry name.
std::string ResolveTarget(const std::string& folder, std::string_view target);

// Text in a workbook writes characters XML cannot hold (control characters) as
// "_xHHHH_" (ECMA-376, ST_Xstring); "_x005F_" is a literal underscore.
std::string DecodeEscapes(std::string_view text);

}  // namespace interchange
