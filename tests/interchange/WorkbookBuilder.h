// Small workbooks made part by part in memory, for the reader's bad-input tests.
#pragma once

#include <zip.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace interchange_test {

using Parts = std::vector<std::pair<std::string, std::string>>;  // zip entry name, contents

inline constexpr char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A zip archive of `parts`, stored or deflated.
inline std::string ZipArchive(const Parts& parts, bool deflate) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* archive = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(archive);
    zip_t* zip = zip_open_from_source(archive, ZIP_TRUNCATE, &error);
    if (zip == nullptr) throw std::runtime_error("zip_open_from_source");
    for (const auto& [name, contents] : parts) {
        zip_source_t* source = zip_source_buffer_create(contents.data(), contents.size(), 0, &error);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 1);
    }
    if (zip_close(zip) != 0) throw std::runtime_error("zip_close");
    std::string bytes;
    if (zip_source_open(archive) == 0) {
        zip_source_seek(archive, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(zip_source_tell(archive)));
        zip_source_seek(archive, 0, SEEK_SET);
        zip_source_read(archive, bytes.data(), bytes.size());
        zip_source_close(archive);
    }
    zip_source_free(archive);
    return bytes;
}

// The parts of a zip archive, in its order.
inline Parts UnzipArchive(const std::string& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (zip == nullptr) throw std::runtime_error("zip_open_from_source");
    Parts parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string contents(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, contents.data(), contents.size());
        zip_fclose(file);
        parts.emplace_back(stat.name, contents);
    }
    zip_close(zip);
    return parts;
}

// A workbook of one sheet whose <sheetData> holds `rows`, with `sharedStrings` when not empty.
inline Parts WorkbookParts(const std::string& rows, const std::string& sharedStrings = "",
                           const std::string& prolog = "") {
    const std::string ns = kMainNamespace;
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    Parts parts = {
        {"xl/workbook.xml", "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Menu\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>" +
             (sharedStrings.empty()
                  ? ""
                  : "<Relationship Id=\"rId2\" Type=\"" + rel + "/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>") +
             "</Relationships>"},
        {"xl/worksheets/sheet1.xml",
         prolog + "<worksheet xmlns=\"" + ns + "\"><sheetData>" + rows + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.empty()) parts.emplace_back("xl/sharedStrings.xml", sharedStrings);
    return parts;
}

// One row of inline-string cells from column A.
inline std::string InlineRow(int number, const std::vector<std::string>& texts) {
    std::string row = "<row r=\"" + std::to_string(number) + "\">";
    for (const std::string& text : texts) row += "<c t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    return row + "</row>";
}

inline const std::vector<std::string> kHeaderCells = {"slot",      "name",        "cook_temp",    "cook_time",
                                                      "fan_speed", "power_level", "roast_n_hold", "hold_temp"};

}  // namespace interchange_test
