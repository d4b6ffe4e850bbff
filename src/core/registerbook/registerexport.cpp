#include "core/registerbook/registerexport.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/recordid.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/records/classification.h"
#include "core/registerbook/registerbook.h"
#include "core/workbook/workbookwriter.h"

#include <array>
#include <map>

namespace tarvo {

namespace {

using Cell = WorkbookWriter::Cell;
using Column = WorkbookWriter::Column;

// The lists of the hidden sheet, one column each, in this order.
struct ListColumn {
    std::string_view title;
    const CodeList& list;
};
const std::array<ListColumn, 11> Lists = {{{book::Material, Materials},
                                           {book::Type, CoverTypes},
                                           {book::Origin, Origins},
                                           {book::Payment, Payments},
                                           {book::Stat, StatCategories},
                                           {book::Source, book::Sources},
                                           {book::UseAlways, book::YesNo},
                                           {book::Material2021, Materials2021},
                                           {book::Shape, Shapes},
                                           {book::Littering, LitteringKinds},
                                           {book::Component, Components}}};

// The reference to the labels of the list whose title is given, as a
// validation names it.
std::string ListRange(std::string_view title) {
    for (size_t i = 0; i < Lists.size(); ++i) {
        if (Lists[i].title != title)
            continue;
        // A product made by hand has no source: the empty label is no choice.
        const int first = &Lists[i].list == &book::Sources ? 3 : 2;
        const std::string column(1, static_cast<char>('A' + i));
        return Format("'%s'!$%s$%d:$%s$%d", std::string(book::ListSheet).c_str(), column.c_str(),
                      first, column.c_str(), Lists[i].list.size + 1);
    }
    return {};
}

// A sheet's columns: the title, the width and, for code columns, the list
// the spreadsheet offers.
struct SheetColumn {
    std::string_view title;
    double width;
    std::string_view list = {};
};

void AddSheet(WorkbookWriter& writer, std::string_view name,
              const std::vector<SheetColumn>& columns) {
    std::vector<Column> titles;
    for (const SheetColumn& c : columns)
        titles.push_back({std::string(c.title), c.width});
    writer.AddSheet(std::string(name), titles);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].list.empty())
            writer.AddListValidation(i, ListRange(columns[i].list));
    }
}

// A code as its label; no code chosen is an empty cell.
Cell CodeCell(const CodeList& list, int64_t code, std::string& buffer) {
    if (code < 0)
        return std::monostate{};
    buffer = list.Label(static_cast<int>(code));
    return std::string_view(buffer);
}

// A product made by hand has no source: an empty cell.
Cell SourceCell(int64_t source, std::string& buffer) {
    return source > 0 ? CodeCell(book::Sources, source, buffer) : Cell(std::monostate{});
}

Cell YesNoCell(bool value) {
    return value ? book::Yes : book::No;
}

Cell TextCell(const std::string& text) {
    if (text.empty())
        return std::monostate{};
    return std::string_view(text);
}

// prod_scrid is a number for the table sources and may be text for a card
// named by its abbreviation; either goes out as it is stored.
struct SourceIdCell {
    std::string text;
    Cell cell;
};
void ReadSourceId(const Statement& st, int column, int typeColumn, SourceIdCell& out) {
    if (st.IsNull(column)) {
        out.cell = std::monostate{};
    } else if (st.Text(typeColumn) == "integer") {
        out.cell = st.Int(column);
    } else {
        out.text = st.Text(column);
        out.cell = std::string_view(out.text);
    }
}

// The item and line columns that composite covers and packaging share.
const std::vector<SheetColumn> LineColumns = {{book::Cover, 30},
                                              {book::QtyCover, 14},
                                              {book::QtyProd, 14},
                                              {book::UseAlways, 12, book::UseAlways},
                                              {book::UseFrom, 12},
                                              {book::UseTo, 12},
                                              {book::Type, 14, book::Type},
                                              {book::Origin, 16, book::Origin},
                                              {book::Payment, 16, book::Payment}};

std::vector<SheetColumn> WithLineColumns(std::vector<SheetColumn> head) {
    head.insert(head.end(), LineColumns.begin(), LineColumns.end());
    return head;
}

// Appends the line columns read from st at column first: cover name, the two
// quantities, the band and the three codes. False when the line has no
// cover to name.
bool AppendLine(const Statement& st, int first, std::vector<Cell>& row,
                std::array<std::string, 4>& buffers) {
    if (st.IsNull(first))
        return false;
    buffers[0] = st.Text(first);
    row.emplace_back(std::string_view(buffers[0]));
    row.emplace_back(st.GetQuantity(first + 1));
    row.emplace_back(st.GetQuantity(first + 2));
    row.push_back(YesNoCell(st.Int(first + 3) != 0));
    row.emplace_back(st.GetQuantity(first + 4));
    row.emplace_back(st.GetQuantity(first + 5));
    row.push_back(CodeCell(CoverTypes, st.Int(first + 6), buffers[1]));
    row.push_back(CodeCell(Origins, st.Int(first + 7), buffers[2]));
    row.push_back(CodeCell(Payments, st.Int(first + 8), buffers[3]));
    return true;
}

// The line columns; the cover's name is null when the cover row is missing.
constexpr const char* LineSelect =
    "c.cover_name, i.cp_qtycover, i.cp_qtyprod, "
    "i.cp_usealways, i.cp_usefrom, i.cp_useto, i.cover_type, i.cover_org, i.cover_pay";

// The classification's cells of a cover: all empty for a cover that has
// none, so that an empty row reads back as not classified.
void AppendClassification(const CoverClassification* c, std::vector<Cell>& row,
                          std::array<std::string, 3>& buffers) {
    if (!c) {
        row.insert(row.end(), 6, std::monostate{});
        return;
    }
    row.push_back(YesNoCell(c->beverage));
    row.push_back(CodeCell(Materials2021, c->material, buffers[0]));
    row.push_back(CodeCell(Shapes, c->shape, buffers[1]));
    row.emplace_back(c->recycled);
    row.push_back(CodeCell(LitteringKinds, c->littering, buffers[2]));
    row.push_back(c->plastic ? Cell(*c->plastic) : Cell(std::monostate{}));
}

void ExportCovers(CDataStore& store, WorkbookWriter& writer,
                  const std::map<RecordId, CoverClassification>& classes,
                  RegisterExportCounts& counts) {
    Statement st(store, "SELECT cover_name, cover_weight, cover_mat, cover_type, cover_org, "
                        "cover_pay, cover_stat, cover_reusable, cover_note, deleted, cover_id "
                        "FROM Cover ORDER BY cover_id");
    std::string name, note;
    std::array<std::string, 5> codes;
    std::array<std::string, 3> classCodes;
    std::vector<Cell> row;
    while (st.Step()) {
        name = st.Text(0);
        note = st.Text(8);
        row = {std::string_view(name),
               WorkbookWriter::Fixed{st.GetQuantity(1)},
               CodeCell(Materials, st.Int(2), codes[0]),
               CodeCell(CoverTypes, st.Int(3), codes[1]),
               CodeCell(Origins, st.Int(4), codes[2]),
               CodeCell(Payments, st.Int(5), codes[3]),
               CodeCell(StatCategories, st.Int(6), codes[4]),
               YesNoCell(st.Int(7) != 0),
               TextCell(note),
               st.Int(9) != 0 ? Cell(book::Yes) : Cell(std::monostate{})};
        const auto found = classes.find(st.Int(10));
        AppendClassification(found == classes.end() ? nullptr : &found->second, row, classCodes);
        writer.AddRow(row);
        ++counts.covers;
    }
}

// The composition of every classified cover, the cover named as on the
// cover sheet.
void ExportCompositions(CDataStore& store, WorkbookWriter& writer,
                        const std::map<RecordId, CoverClassification>& classes) {
    Statement st(store, "SELECT cover_id, cover_name FROM Cover ORDER BY cover_id");
    std::string name, component;
    while (st.Step()) {
        const auto found = classes.find(st.Int(0));
        if (found == classes.end())
            continue;
        name = st.Text(1);
        for (const CompositionPart& part : found->second.composition) {
            const Cell row[] = {std::string_view(name),
                                CodeCell(Components, part.component, component), part.share};
            writer.AddRow(row);
        }
    }
}

void ExportCompCovers(CDataStore& store, WorkbookWriter& writer, RegisterExportCounts& counts) {
    Statement st(store, std::string("SELECT k.ccover_id, k.ccover_name, k.ccover_note, i.rowid, ") +
                            LineSelect +
                            " FROM CompCover k LEFT JOIN CompCover_Item i ON "
                            "i.ccover_id = k.ccover_id LEFT JOIN Cover c ON "
                            "c.cover_id = i.cover_id ORDER BY k.ccover_id, i.rowid");
    std::string name, note;
    std::array<std::string, 4> buffers;
    std::vector<Cell> row;
    RecordId current = NoRecord;
    bool written = false; // a row of the current composite cover went out
    auto finish = [&] {
        // A composite cover without items (or with none left) still has
        // its row, so that it is not lost on the way back.
        if (current != NoRecord && !written) {
            const Cell alone[] = {std::string_view(name), TextCell(note)};
            writer.AddRow(alone);
        }
    };
    while (st.Step()) {
        if (st.Int(0) != current) {
            finish();
            current = st.Int(0);
            written = false;
            name = st.Text(1);
            note = st.Text(2);
            ++counts.compCovers;
        }
        if (st.IsNull(3))
            continue;
        row = {std::string_view(name), TextCell(note)};
        if (!AppendLine(st, 4, row, buffers)) {
            ++counts.linesLeftOut;
            continue;
        }
        writer.AddRow(row);
        written = true;
        ++counts.compItems;
    }
    finish();
}

void ExportProducts(CDataStore& store, WorkbookWriter& writer, RegisterExportCounts& counts) {
    Statement st(store, "SELECT prod_source, prod_scrid, typeof(prod_scrid), prod_name, "
                        "prod_katalog, prod_unit FROM Product WHERE deleted = 0 "
                        "ORDER BY prod_id");
    std::string source, name, katalog, unit;
    SourceIdCell id;
    while (st.Step()) {
        ReadSourceId(st, 1, 2, id);
        name = st.Text(3);
        katalog = st.Text(4);
        unit = st.Text(5);
        const Cell row[] = {SourceCell(st.Int(0), source), id.cell, TextCell(name),
                            TextCell(katalog), TextCell(unit)};
        writer.AddRow(row);
        ++counts.products;
    }
}

void ExportPackaging(CDataStore& store, WorkbookWriter& writer, RegisterExportCounts& counts) {
    Statement st(store, std::string("SELECT d.dt_id, p.prod_source, p.prod_scrid, "
                                    "typeof(p.prod_scrid), p.prod_katalog, p.prod_name, "
                                    "d.dt_from, i.cp_id, ") +
                            LineSelect +
                            " FROM Product p JOIN Prod_CoverDT d ON d.prod_id = p.prod_id "
                            "LEFT JOIN Prod_Cover i ON i.dt_id = d.dt_id LEFT JOIN Cover c ON "
                            "c.cover_id = i.cover_id WHERE p.deleted = 0 "
                            "ORDER BY p.prod_id, d.dt_from, d.dt_id, i.cp_id");
    std::string source, katalog, name;
    int64_t sourceCode = 0;
    SourceIdCell id;
    OleDate from;
    std::array<std::string, 4> buffers;
    std::vector<Cell> row;
    RecordId current = NoRecord;
    bool written = false;
    auto head = [&] {
        row = {SourceCell(sourceCode, source), id.cell, TextCell(katalog), TextCell(name),
               from.IsValid() ? Cell(from) : Cell(std::monostate{})};
    };
    auto finish = [&] {
        // A definition without lines keeps its row.
        if (current != NoRecord && !written) {
            head();
            writer.AddRow(row);
        }
    };
    while (st.Step()) {
        if (st.Int(0) != current) {
            finish();
            current = st.Int(0);
            written = false;
            sourceCode = st.Int(1);
            ReadSourceId(st, 2, 3, id);
            katalog = st.Text(4);
            name = st.Text(5);
            from = st.IsNull(6) ? OleDate() : st.Date(6);
            ++counts.definitions;
        }
        if (st.IsNull(7))
            continue;
        head();
        if (!AppendLine(st, 8, row, buffers)) {
            ++counts.linesLeftOut;
            continue;
        }
        writer.AddRow(row);
        written = true;
        ++counts.lines;
    }
    finish();
}

void AddListSheet(WorkbookWriter& writer) {
    std::vector<Column> titles;
    int rows = 0;
    for (const ListColumn& list : Lists) {
        titles.push_back({std::string(list.title), 24});
        rows = std::max(rows, list.list.size);
    }
    writer.AddSheet(std::string(book::ListSheet), titles, true);
    std::vector<Cell> row(Lists.size());
    for (int r = 0; r < rows; ++r) {
        for (size_t i = 0; i < Lists.size(); ++i) {
            const CodeList& list = Lists[i].list;
            row[i] = r < list.size && !list.labels[r].empty() ? Cell(list.labels[r])
                                                              : Cell(std::monostate{});
        }
        writer.AddRow(row);
    }
}

} // namespace

RegisterExportCounts ExportRegisters(CDataStore& store, const std::string& path, bool empty) {
    RegisterExportCounts counts;
    WorkbookWriter writer(path);
    AddSheet(writer, book::CoverSheet,
             {{book::Name, 30},
              {book::Weight, 14},
              {book::Material, 24, book::Material},
              {book::Type, 14, book::Type},
              {book::Origin, 16, book::Origin},
              {book::Payment, 16, book::Payment},
              {book::Stat, 22, book::Stat},
              {book::Reusable, 12, book::UseAlways},
              {book::Note, 30},
              {book::Deleted, 12, book::UseAlways},
              {book::Beverage, 10, book::UseAlways},
              {book::Material2021, 30, book::Material2021},
              {book::Shape, 24, book::Shape},
              {book::Recycled, 12},
              {book::Littering, 30, book::Littering},
              {book::Plastic, 14}});
    const std::map<RecordId, CoverClassification> classes =
        empty ? std::map<RecordId, CoverClassification>() : AllClassifications(store);
    if (!empty)
        ExportCovers(store, writer, classes, counts);
    AddSheet(writer, book::CompositionSheet,
             {{book::Cover, 30}, {book::Component, 24, book::Component}, {book::Share, 12}});
    if (!empty)
        ExportCompositions(store, writer, classes);
    AddSheet(writer, book::CompCoverSheet,
             WithLineColumns({{book::CompCover, 30}, {book::Note, 24}}));
    if (!empty)
        ExportCompCovers(store, writer, counts);
    AddSheet(writer, book::ProductSheet,
             {{book::Source, 12, book::Source},
              {book::SourceId, 12},
              {book::Name, 40},
              {book::Katalog, 16},
              {book::Unit, 10}});
    if (!empty)
        ExportProducts(store, writer, counts);
    AddSheet(writer, book::PackagingSheet,
             WithLineColumns({{book::Source, 12, book::Source},
                              {book::SourceId, 12},
                              {book::Katalog, 16},
                              {book::Product, 30},
                              {book::ValidFrom, 12}}));
    if (!empty)
        ExportPackaging(store, writer, counts);
    AddListSheet(writer);
    writer.Save();
    return counts;
}

std::string ExportSummaryText(const RegisterExportCounts& counts) {
    std::string text = Format("Exportováno: obalů %ld, složených obalů %ld (položek %ld), "
                              "produktů %ld, balení %ld (řádků %ld).",
                              counts.covers, counts.compCovers, counts.compItems, counts.products,
                              counts.definitions, counts.lines);
    if (counts.linesLeftOut > 0)
        text += Format("\nVynecháno řádků s chybějícím obalem: %ld.", counts.linesLeftOut);
    return text;
}

} // namespace tarvo
