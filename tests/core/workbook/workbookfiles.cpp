#include "workbookfiles.h"

#include "core/workbook/workbook.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <stdexcept>
#include <utility>
#include <vector>
#include <zip.h>

namespace tarvo::test {

std::string ZipEntry(const std::string& path, const std::string& name) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        throw std::runtime_error("not a zip: " + path);
    zip_stat_t st;
    std::string data;
    if (zip_stat(zip, name.c_str(), 0, &st) == 0) {
        zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
        data.resize(st.size);
        zip_fread(file, data.data(), data.size());
        zip_fclose(file);
    }
    zip_discard(zip);
    return data;
}

bool HasZipEntry(const std::string& path, const std::string& name) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        return false;
    const bool found = zip_name_locate(zip, name.c_str(), 0) >= 0;
    zip_discard(zip);
    return found;
}

void PutZipEntry(const std::string& path, const std::string& name, const std::string& data) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), 0, &error);
    ASSERT_NE(zip, nullptr);
    zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
    ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(zip), 0);
}

void MakeWorkbook(const std::string& path, const std::string& sheetXml,
                  const std::string& sharedStringsXml) {
    const std::string relationships = "http://schemas.openxmlformats.org/officeDocument/2006/"
                                      "relationships/";
    std::vector<std::pair<std::string, std::string>> parts = {
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"" +
             relationships.substr(0, relationships.size() - 1) +
             "\"><sheets><sheet name=\"List\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             relationships + "worksheet\" Target=\"worksheets/sheet1.xml\"/>" +
             (sharedStringsXml.empty() ? ""
                                       : "<Relationship Id=\"rId2\" Type=\"" + relationships +
                                             "sharedStrings\" Target=\"sharedStrings.xml\"/>") +
             "</Relationships>"},
        {"xl/worksheets/sheet1.xml", sheetXml},
    };
    if (!sharedStringsXml.empty())
        parts.emplace_back("xl/sharedStrings.xml", sharedStringsXml);
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(zip, name.c_str(), source, 0), 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

std::string SheetPart(const std::string& path, const std::string& sheet) {
    pugi::xml_document book, rels;
    const std::string bookXml = ZipEntry(path, "xl/workbook.xml");
    const std::string relsXml = ZipEntry(path, "xl/_rels/workbook.xml.rels");
    book.load_buffer(bookXml.data(), bookXml.size());
    rels.load_buffer(relsXml.data(), relsXml.size());
    for (pugi::xml_node s : book.child("workbook").child("sheets").children("sheet")) {
        if (sheet != s.attribute("name").value())
            continue;
        for (pugi::xml_node r : rels.child("Relationships").children("Relationship")) {
            if (std::string(r.attribute("Id").value()) == s.attribute("r:id").value())
                return "xl/" + std::string(r.attribute("Target").value());
        }
    }
    return {};
}

std::map<std::string, std::string> SheetCells(const std::string& path, const std::string& sheet) {
    std::map<std::string, std::string> cells;
    const std::string xml = ZipEntry(path, SheetPart(path, sheet));
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size());
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
        for (pugi::xml_node c : row.children("c")) {
            std::string text =
                std::string("s") + c.attribute("s").value() + " " + c.attribute("t").value();
            if (c.child("f"))
                text += std::string(" f:") + c.child("f").child_value();
            if (c.child("v"))
                text += std::string(" v:") + c.child("v").child_value();
            if (c.child("is"))
                text += std::string(" is:") + c.child("is").child("t").child_value();
            cells[c.attribute("r").value()] = text;
        }
    }
    return cells;
}

std::string RowsText(Worksheet& sheet) {
    std::string text;
    try {
        sheet.ForEachRow([&](int row, const std::vector<SheetCell>& cells) {
            text += std::to_string(row) + ':';
            for (size_t i = 0; i < cells.size(); ++i) {
                if (i > 0)
                    text += '|';
                if (cells[i].kind != SheetCell::Kind::Empty)
                    text += "-TNBE"[static_cast<int>(cells[i].kind)] + cells[i].text;
            }
            text += ';';
        });
        if (!text.empty())
            text.pop_back();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), WorkbookError::Failed) << e.Description();
        text += '!';
    }
    return text;
}

std::string CellText(const std::string& path, const std::string& sheet,
                     const std::string& address) {
    try {
        Workbook book;
        book.Open(path);
        Worksheet* ws = book.Sheet(sheet);
        return ws ? ws->GetText(address) : std::string("<not a worksheet>");
    } catch (const ComError& e) {
        ADD_FAILURE() << e.Description();
        return {};
    }
}

} // namespace tarvo::test
