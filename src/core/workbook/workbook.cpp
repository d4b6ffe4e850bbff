#include "core/workbook/workbook.h"

#include "core/data/shared.h"
#include "core/workbook/xmlelements.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <pugixml.hpp>

namespace tarvo {

namespace {

constexpr unsigned ParseFlags =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata;
constexpr const char* ContentTypesPart = "[Content_Types].xml";

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The local part of an element or attribute name ("x:row" -> "row"): a few
// producers write the spreadsheet namespace with a prefix.
std::string_view LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

bool Is(pugi::xml_node node, std::string_view local) {
    return node.type() == pugi::node_element && LocalName(node.name()) == local;
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view local) {
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (Is(n, local))
            return n;
    }
    return {};
}

// The name of a new element in the namespace form its parent uses.
std::string SameForm(pugi::xml_node parent, std::string_view local) {
    const std::string_view name = parent.name();
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos
               ? std::string(local)
               : std::string(name.substr(0, colon + 1)) + std::string(local);
}

pugi::xml_node AddChildBefore(pugi::xml_node parent, std::string_view local,
                              pugi::xml_node before) {
    const std::string name = SameForm(parent, local);
    return before ? parent.insert_child_before(name.c_str(), before)
                  : parent.append_child(name.c_str());
}

// The first child whose local name is one of names, for keeping the element
// order the format prescribes when a missing element is added.
pugi::xml_node FirstOf(pugi::xml_node parent, std::initializer_list<std::string_view> names) {
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        for (std::string_view name : names) {
            if (Is(n, name))
                return n;
        }
    }
    return {};
}

// Concatenated text of the t elements below a string item, without the
// phonetic runs (rPh) that only East Asian readings carry.
void CollectText(pugi::xml_node node, std::string& text) {
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (Is(n, "rPh"))
            continue;
        if (Is(n, "t"))
            text += n.child_value();
        else if (n.type() == pugi::node_element)
            CollectText(n, text);
    }
}

// Text that XML 1.0 can carry: control characters other than tab and line
// breaks have no representation and would make the file unreadable.
std::string XmlSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || c == '\t' || c == '\n' || c == '\r')
            safe += c;
    }
    return safe;
}

// Numbers as the shortest text that reads back the same ("2.4", not
// "2.3999999999999999").
std::string NumberText(const std::string& stored) {
    double value = 0;
    const char* end = stored.data() + stored.size();
    const auto parsed = std::from_chars(stored.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return stored;
    // Plain decimals as a user types them ("0.0005", not "5e-04"), except
    // for magnitudes no one writes that way.
    const double magnitude = value < 0 ? -value : value;
    const bool plain = magnitude == 0 || (magnitude >= 1e-9 && magnitude < 1e15);
    char buffer[64];
    const auto written =
        plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

std::string Directory(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelsOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return Directory(part) + "_rels/" + file + ".rels";
}

// A relationship target as an archive entry name: absolute targets start at
// the archive root, relative ones at the source part's folder.
std::string ResolveTarget(const std::string& sourcePart, std::string target) {
    if (!target.empty() && target.front() == '/')
        return target.substr(1);
    std::string base = Directory(sourcePart);
    while (target.rfind("../", 0) == 0) {
        target.erase(0, 3);
        if (!base.empty())
            base.pop_back();
        base = Directory(base);
    }
    return base + target;
}

bool SameSheetName(std::string_view a, std::string_view b) {
    return ToUpperText(a) == ToUpperText(b);
}

struct StringWriter final : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

} // namespace

// ---------------------------------------------------------------------------

namespace {

// One cell reference, with the "$" of an absolute one when absolute is set.
std::optional<CellRef> ReadCell(std::string_view text, bool absolute) {
    const auto skipDollar = [&](size_t& i) {
        if (absolute && i < text.size() && text[i] == '$')
            ++i;
    };
    CellRef ref;
    ref.column = -1;
    size_t i = 0;
    skipDollar(i);
    const size_t letters = i;
    while (i < text.size() &&
           ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        const int letter = (text[i] | 0x20) - 'a';
        ref.column = (ref.column + 1) * 26 + letter;
        ++i;
    }
    if (i == letters || i - letters > 3 || ref.column > 16383)
        return std::nullopt;
    skipDollar(i);
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data() + i, end, ref.row);
    if (parsed.ec != std::errc() || parsed.ptr != end || ref.row < 1 || ref.row > 1048576)
        return std::nullopt;
    return ref;
}

} // namespace

CellRef ParseCellAddress(std::string_view address) {
    const size_t colon = address.find(':');
    const std::optional<CellRef> first = ReadCell(address.substr(0, colon), false);
    const std::optional<CellRef> second =
        colon == std::string_view::npos ? first : ReadCell(address.substr(colon + 1), false);
    if (!first || !second || second->column != first->column || second->row != first->row)
        throw ComError(WorkbookError::Failed,
                       Format("Adresa buňky '%.*s' není platná.", static_cast<int>(address.size()),
                              address.data()));
    return *first;
}

CellRange ParseCellRange(std::string_view text) {
    const size_t colon = text.find(':');
    const std::optional<CellRef> a = ReadCell(text.substr(0, colon), true);
    const std::optional<CellRef> b =
        colon == std::string_view::npos ? a : ReadCell(text.substr(colon + 1), true);
    if (!a || !b)
        throw ComError(WorkbookError::Failed, Format("Oblast buněk '%.*s' není platná.",
                                                     static_cast<int>(text.size()), text.data()));
    return {{std::min(a->column, b->column), std::min(a->row, b->row)},
            {std::max(a->column, b->column), std::max(a->row, b->row)}};
}

std::string CellName(int column, int row) {
    std::string letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

// ---------------------------------------------------------------------------

struct Workbook::Part {
    std::string name;
    pugi::xml_document doc;
    bool dirty = false;
    std::string saved; // the written text, alive until the archive is closed
};

Workbook::Workbook() = default;

Workbook::~Workbook() {
    Close();
}

void Workbook::Fail(uint32_t code, const std::string& text) const {
    throw ComError(code, text);
}

void Workbook::Open(const std::string& path) {
    Close();
    m_path = path;
    if (!m_zip.Open(path, ZipArchive::Mode::Read)) {
        m_path.clear();
        Fail(WorkbookError::Failed,
             Format("Soubor '%s' nelze otevřít jako sešit: soubor chybí, není ve formátu "
                    "Office Open XML nebo je poškozený.",
                    path.c_str()));
    }
    try {
        Load();
    } catch (...) {
        Close();
        throw;
    }
}

void Workbook::Close() {
    m_zip.Discard();
    m_parts.clear();
    m_sheets.clear();
    m_sharedStrings.Clear();
    m_workbookPart.clear();
    m_stylesPart.clear();
    m_definedNames.clear();
    m_lockedStyles.reset();
    m_removedParts.clear();
    m_path.clear();
}

bool Workbook::HasEntry(const std::string& name) const {
    return m_zip.Has(name);
}

std::string Workbook::ReadEntry(const std::string& name) const {
    ZipEntryReader entry = m_zip.OpenEntry(name);
    if (!entry || !entry.Size())
        Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: chybí jeho část '%s'.",
                                           m_path.c_str(), name.c_str()));
    std::string data(*entry.Size(), '\0');
    const int64_t read = entry.Read(data.data(), data.size());
    if (read < 0 || static_cast<uint64_t>(read) != *entry.Size())
        Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: část '%s' nelze přečíst.",
                                           m_path.c_str(), name.c_str()));
    return data;
}

Workbook::Part* Workbook::LoadedPart(const std::string& name) {
    for (const auto& part : m_parts) {
        if (part->name == name)
            return part.get();
    }
    return nullptr;
}

Workbook::Part& Workbook::LoadPart(const std::string& name) {
    if (Part* loaded = LoadedPart(name))
        return *loaded;
    const std::string data = ReadEntry(name);
    auto part = std::make_unique<Part>();
    part->name = name;
    if (!part->doc.load_buffer(data.data(), data.size(), ParseFlags, pugi::encoding_utf8))
        Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: část '%s' není platné XML.",
                                           m_path.c_str(), name.c_str()));
    m_parts.push_back(std::move(part));
    return *m_parts.back();
}

void Workbook::Load() {
    // The package's own relationships name the workbook part.
    m_workbookPart = "xl/workbook.xml";
    if (HasEntry("_rels/.rels")) {
        const Part& rels = LoadPart("_rels/.rels");
        for (pugi::xml_node rel : rels.doc.document_element().children()) {
            if (EndsWith(rel.attribute("Type").value(), "/officeDocument"))
                m_workbookPart = ResolveTarget("", rel.attribute("Target").value());
        }
    }
    const Part& book = LoadPart(m_workbookPart);
    pugi::xml_node root = book.doc.document_element();
    if (!Is(root, "workbook"))
        Fail(WorkbookError::Failed,
             Format("Soubor '%s' neobsahuje sešit tabulkového procesoru.", m_path.c_str()));

    struct Target {
        std::string id, type, part;
    };
    std::vector<Target> targets;
    const std::string relsName = RelsOf(m_workbookPart);
    if (HasEntry(relsName)) {
        const Part& rels = LoadPart(relsName);
        for (pugi::xml_node rel : rels.doc.document_element().children()) {
            if (Is(rel, "Relationship"))
                targets.push_back({rel.attribute("Id").value(), rel.attribute("Type").value(),
                                   ResolveTarget(m_workbookPart, rel.attribute("Target").value())});
        }
    }
    for (const Target& t : targets) {
        if (EndsWith(t.type, "/sharedStrings"))
            ReadSharedStrings(t.part);
        else if (EndsWith(t.type, "/styles"))
            m_stylesPart = t.part;
    }
    for (pugi::xml_node name : Child(root, "definedNames").children()) {
        if (Is(name, "definedName") && !name.attribute("localSheetId"))
            m_definedNames.push_back({name.attribute("name").value(), name.child_value()});
    }

    for (pugi::xml_node sheet : Child(root, "sheets").children()) {
        if (!Is(sheet, "sheet"))
            continue;
        std::string id;
        for (pugi::xml_attribute a : sheet.attributes()) {
            if (std::strchr(a.name(), ':') && LocalName(a.name()) == "id")
                id = a.value();
        }
        SheetEntry entry;
        entry.name = sheet.attribute("name").value();
        const std::string_view state = sheet.attribute("state").value();
        entry.hidden = state == "hidden" || state == "veryHidden";
        for (const Target& t : targets) {
            if (t.id == id && EndsWith(t.type, "/worksheet"))
                entry.part = t.part;
        }
        m_sheets.push_back(std::move(entry));
    }
}

bool Workbook::ForEachElement(const std::string& entry, std::string_view container,
                              std::string_view local,
                              const std::function<void(char* text, size_t size)>& visit) const {
    ZipEntryReader file = m_zip.OpenEntry(entry);
    if (!file)
        Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: chybí jeho část '%s'.",
                                           m_path.c_str(), entry.c_str()));
    const TextSource read = [&](char* buffer, size_t size) -> size_t {
        const int64_t got = file.Read(buffer, size);
        if (got < 0)
            Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: část '%s' nelze přečíst.",
                                               m_path.c_str(), entry.c_str()));
        return static_cast<size_t>(got);
    };
    return ForEachXmlElement(read, container, local, visit);
}

// The shared strings are read one item at a time: a list of hundreds of
// thousands of texts would take several times its size as one document.
void Workbook::ReadSharedStrings(const std::string& partName) {
    pugi::xml_document doc;
    std::string item;
    const bool whole = ForEachElement(partName, "sst", "si", [&](char* text, size_t size) {
        if (!doc.load_buffer_inplace(text, size, ParseFlags, pugi::encoding_utf8))
            Fail(WorkbookError::Failed,
                 Format("Sešit '%s' je poškozený: část '%s' není platné XML.", m_path.c_str(),
                        partName.c_str()));
        item.clear();
        CollectText(doc.document_element(), item);
        m_sharedStrings.Add(item);
    });
    if (!whole)
        Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: část '%s' není platné XML.",
                                           m_path.c_str(), partName.c_str()));
}

std::vector<std::string> Workbook::SheetNames() const {
    std::vector<std::string> names;
    for (const SheetEntry& entry : m_sheets)
        names.push_back(entry.name);
    return names;
}

Worksheet* Workbook::Sheet(std::string_view name) {
    if (!m_zip.IsOpen())
        Fail(ComError::InvalidPointer, "Sešit není otevřen.");
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        SheetEntry& entry = m_sheets[i];
        if (!SameSheetName(entry.name, name))
            continue;
        if (entry.part.empty())
            return nullptr;
        if (!entry.sheet) {
            // The sheet is read when first used: the row reader streams
            // a sheet that was never loaded whole.
            if (!HasEntry(entry.part))
                Fail(WorkbookError::Failed, Format("Sešit '%s' je poškozený: chybí jeho část '%s'.",
                                                   m_path.c_str(), entry.part.c_str()));
            entry.sheet.reset(new Worksheet(*this, entry.name, entry.part, i));
        }
        return entry.sheet.get();
    }
    Fail(WorkbookError::BadIndex,
         Format("Sešit '%s' neobsahuje list '%.*s'. (Neplatný index.)", m_path.c_str(),
                static_cast<int>(name.size()), name.data()));
}

const Workbook::SheetEntry& Workbook::Entry(std::string_view name) const {
    if (!m_zip.IsOpen())
        Fail(ComError::InvalidPointer, "Sešit není otevřen.");
    for (const SheetEntry& entry : m_sheets) {
        if (SameSheetName(entry.name, name))
            return entry;
    }
    Fail(WorkbookError::BadIndex,
         Format("Sešit '%s' neobsahuje list '%.*s'. (Neplatný index.)", m_path.c_str(),
                static_cast<int>(name.size()), name.data()));
}

bool Workbook::IsHidden(std::string_view sheetName) const {
    return Entry(sheetName).hidden;
}

std::vector<NamedArea> Workbook::DefinedName(std::string_view name) const {
    const auto found =
        std::find_if(m_definedNames.begin(), m_definedNames.end(),
                     [&](const DefinedNameEntry& e) { return SameSheetName(e.name, name); });
    if (found == m_definedNames.end())
        return {};
    const std::string_view formula = found->formula;
    const auto notAreas = [&]() {
        return ComError(WorkbookError::Failed,
                        Format("Název '%s' v sešitu '%s' neodkazuje na oblast buněk: %s",
                               found->name.c_str(), m_path.c_str(), found->formula.c_str()));
    };
    // Areas "Sheet!A1:B2" or "'Sheet''s name'!$A$1" separated by commas; a
    // quoted sheet name may hold commas and doubles its apostrophes.
    std::vector<NamedArea> areas;
    size_t i = 0;
    while (i < formula.size()) {
        NamedArea area;
        if (formula[i] == '\'') {
            for (++i;; ++i) {
                if (i >= formula.size())
                    throw notAreas();
                if (formula[i] == '\'') {
                    if (i + 1 < formula.size() && formula[i + 1] == '\'') {
                        area.sheet += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                area.sheet += formula[i];
            }
        } else {
            const size_t mark = formula.find('!', i);
            if (mark == std::string_view::npos)
                throw notAreas();
            area.sheet = formula.substr(i, mark - i);
            i = mark;
        }
        if (area.sheet.empty() || i >= formula.size() || formula[i] != '!')
            throw notAreas();
        const size_t end = std::min(formula.find(',', i), formula.size());
        try {
            area.range = ParseCellRange(formula.substr(i + 1, end - i - 1));
        } catch (const ComError&) {
            throw notAreas();
        }
        areas.push_back(std::move(area));
        i = end == formula.size() ? end : end + 1;
    }
    if (areas.empty())
        throw notAreas();
    return areas;
}

const std::vector<bool>& Workbook::LockedStyles() {
    if (m_lockedStyles)
        return *m_lockedStyles;
    std::vector<bool> locked;
    if (!m_stylesPart.empty()) {
        const Part& styles = LoadPart(m_stylesPart);
        for (pugi::xml_node xf : Child(styles.doc.document_element(), "cellXfs").children()) {
            if (!Is(xf, "xf"))
                continue;
            const pugi::xml_attribute attribute = Child(xf, "protection").attribute("locked");
            locked.push_back(!attribute || attribute.as_bool());
        }
    }
    m_lockedStyles = std::move(locked);
    return *m_lockedStyles;
}

void Workbook::SetActive(size_t index) {
    Part& book = LoadPart(m_workbookPart);
    pugi::xml_node root = book.doc.document_element();
    pugi::xml_node views = Child(root, "bookViews");
    if (!views)
        views = AddChildBefore(root, "bookViews", FirstOf(root, {"sheets"}));
    pugi::xml_node view = Child(views, "workbookView");
    if (!view)
        view = AddChildBefore(views, "workbookView", {});
    const std::string tab = std::to_string(index);
    if (!view.attribute("activeTab"))
        view.append_attribute("activeTab");
    view.attribute("activeTab").set_value(tab.c_str());
    // A first visible tab after the active one would hide it.
    if (view.attribute("firstSheet") && view.attribute("firstSheet").as_ullong() > index)
        view.attribute("firstSheet").set_value(tab.c_str());
    book.dirty = true;

    // Exactly one sheet is selected; more would open as a group, where every
    // edit lands on all of them.
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].part.empty())
            continue;
        Part& part = LoadPart(m_sheets[i].part);
        pugi::xml_node sheetRoot = part.doc.document_element();
        pugi::xml_node sheetViews = Child(sheetRoot, "sheetViews");
        if (!sheetViews && i == index)
            sheetViews = AddChildBefore(sheetRoot, "sheetViews",
                                        FirstOf(sheetRoot, {"sheetFormatPr", "cols", "sheetData"}));
        pugi::xml_node sheetView = Child(sheetViews, "sheetView");
        if (!sheetView && i == index) {
            sheetView = AddChildBefore(sheetViews, "sheetView", {});
            sheetView.append_attribute("workbookViewId") = "0";
        }
        if (!sheetView)
            continue;
        const bool selected = sheetView.attribute("tabSelected").as_bool();
        if (selected == (i == index))
            continue;
        if (i == index) {
            if (!sheetView.attribute("tabSelected"))
                sheetView.prepend_attribute("tabSelected");
            sheetView.attribute("tabSelected").set_value("1");
        } else {
            sheetView.remove_attribute("tabSelected");
        }
        part.dirty = true;
    }
}

void Workbook::PrepareSave(FormulaResults results) {
    Part& book = LoadPart(m_workbookPart);
    pugi::xml_node root = book.doc.document_element();
    pugi::xml_node calc = Child(root, "calcPr");
    if (!calc) {
        pugi::xml_node after;
        for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
            if (Is(n, "sheets") || Is(n, "functionGroups") || Is(n, "externalReferences") ||
                Is(n, "definedNames"))
                after = n;
        }
        const std::string name = SameForm(root, "calcPr");
        calc =
            after ? root.insert_child_after(name.c_str(), after) : root.append_child(name.c_str());
    }
    if (!calc.attribute("fullCalcOnLoad"))
        calc.append_attribute("fullCalcOnLoad");
    calc.attribute("fullCalcOnLoad").set_value("1");
    book.dirty = true;
    if (results == FormulaResults::Keep)
        return;

    // Cached results of formulas would show the template's totals to any
    // reader that does not recalculate; without them every reader computes.
    for (const SheetEntry& entry : m_sheets) {
        if (entry.part.empty())
            continue;
        Part& part = LoadPart(entry.part);
        const pugi::xml_node data = Child(part.doc.document_element(), "sheetData");
        for (pugi::xml_node row : data.children()) {
            for (pugi::xml_node cell : row.children()) {
                if (!Child(cell, "f"))
                    continue;
                if (pugi::xml_node v = Child(cell, "v")) {
                    cell.remove_child(v);
                    cell.remove_attribute("t");
                    part.dirty = true;
                }
            }
        }
    }

    // The calculation chain lists formula cells in the order last computed;
    // after a write it may name cells that hold no formula any more, which
    // the spreadsheet program reports as damage. It is rebuilt on load.
    const std::string relsName = RelsOf(m_workbookPart);
    if (HasEntry(relsName)) {
        Part& rels = LoadPart(relsName);
        pugi::xml_node relsRoot = rels.doc.document_element();
        for (pugi::xml_node rel = relsRoot.first_child(); rel;) {
            const pugi::xml_node next = rel.next_sibling();
            if (EndsWith(rel.attribute("Type").value(), "/calcChain")) {
                m_removedParts.push_back(
                    ResolveTarget(m_workbookPart, rel.attribute("Target").value()));
                relsRoot.remove_child(rel);
                rels.dirty = true;
            }
            rel = next;
        }
    }
    if (!m_removedParts.empty() && HasEntry(ContentTypesPart)) {
        Part& types = LoadPart(ContentTypesPart);
        pugi::xml_node typesRoot = types.doc.document_element();
        for (pugi::xml_node o = typesRoot.first_child(); o;) {
            const pugi::xml_node next = o.next_sibling();
            for (const std::string& removed : m_removedParts) {
                if (Is(o, "Override") && o.attribute("PartName").value() == "/" + removed) {
                    typesRoot.remove_child(o);
                    types.dirty = true;
                    break;
                }
            }
            o = next;
        }
    }
}

void Workbook::Save(FormulaResults results) {
    if (!m_zip.IsOpen())
        Fail(ComError::InvalidPointer, "Sešit není otevřen.");
    PrepareSave(results);
    const auto zipFailure = [this]() {
        return Format("Sešit '%s' nelze uložit: %s", m_path.c_str(), m_zip.ErrorText().c_str());
    };
    for (const auto& part : m_parts) {
        if (!part->dirty)
            continue;
        StringWriter writer;
        part->doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration,
                       pugi::encoding_utf8);
        // The declaration node kept from loading is written by save() itself
        // only when the document had one; a part without it gets the standard one.
        if (part->doc.first_child().type() != pugi::node_declaration)
            writer.text.insert(0,
                               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
        part->saved = std::move(writer.text);
        if (!m_zip.AddData(part->name, part->saved, true))
            Fail(WorkbookError::Failed, zipFailure());
    }
    for (const std::string& removed : m_removedParts)
        m_zip.Remove(removed);
    m_removedParts.clear();
    if (!m_zip.Close()) {
        const std::string text = zipFailure();
        Close();
        Fail(WorkbookError::Failed, text);
    }
    for (const auto& part : m_parts) {
        part->dirty = false;
        part->saved.clear();
    }
    if (!m_zip.Open(m_path, ZipArchive::Mode::Read)) {
        const std::string path = m_path;
        Close();
        Fail(WorkbookError::Failed,
             Format("Sešit '%s' byl uložen, ale nelze jej znovu otevřít.", path.c_str()));
    }
}

// ---------------------------------------------------------------------------

namespace {

int RowNumber(pugi::xml_node row) {
    return row.attribute("r").as_int();
}

int ColumnOf(pugi::xml_node cell) {
    const char* r = cell.attribute("r").value();
    int column = -1;
    for (; *r >= 'A' && *r <= 'Z'; ++r)
        column = (column + 1) * 26 + (*r - 'A');
    return column;
}

// Rows and cells may leave out their position; each then follows the one
// before it. Writing needs every position explicit.
void NumberRowsAndCells(pugi::xml_node data) {
    int rowNumber = 0;
    for (pugi::xml_node row : data.children()) {
        if (!Is(row, "row"))
            continue;
        rowNumber = row.attribute("r") ? RowNumber(row) : rowNumber + 1;
        if (!row.attribute("r"))
            row.append_attribute("r") = rowNumber;
        int column = -1;
        for (pugi::xml_node cell : row.children()) {
            if (!Is(cell, "c"))
                continue;
            column = cell.attribute("r") ? ColumnOf(cell) : column + 1;
            if (!cell.attribute("r"))
                cell.prepend_attribute("r") = CellName(column, rowNumber).c_str();
        }
    }
}

pugi::xml_node FindCell(pugi::xml_node data, const CellRef& ref) {
    for (pugi::xml_node row : data.children()) {
        if (!Is(row, "row") || RowNumber(row) != ref.row)
            continue;
        for (pugi::xml_node cell : row.children()) {
            if (Is(cell, "c") && ColumnOf(cell) == ref.column)
                return cell;
        }
    }
    return {};
}

pugi::xml_node MakeCell(pugi::xml_node data, const CellRef& ref) {
    pugi::xml_node row;
    for (pugi::xml_node n : data.children()) {
        if (!Is(n, "row"))
            continue;
        if (RowNumber(n) == ref.row) {
            row = n;
            break;
        }
        if (RowNumber(n) > ref.row) {
            row = AddChildBefore(data, "row", n);
            break;
        }
    }
    if (!row)
        row = AddChildBefore(data, "row", {});
    if (!row.attribute("r"))
        row.append_attribute("r") = ref.row;
    pugi::xml_node before;
    for (pugi::xml_node cell : row.children()) {
        if (!Is(cell, "c"))
            continue;
        if (ColumnOf(cell) == ref.column)
            return cell;
        if (ColumnOf(cell) > ref.column) {
            before = cell;
            break;
        }
    }
    pugi::xml_node cell = AddChildBefore(row, "c", before);
    cell.append_attribute("r") = CellName(ref.column, ref.row).c_str();
    return cell;
}

// The cell's value as the row reader gives it. False when it names a shared
// string the workbook does not have.
bool DecodeCell(pugi::xml_node cell, const TextList& sharedStrings, SheetCell& decoded) {
    decoded.kind = SheetCell::Kind::Empty;
    decoded.text.clear();
    const std::string_view type = cell.attribute("t").value();
    if (type == "inlineStr") {
        if (const pugi::xml_node is = Child(cell, "is")) {
            decoded.kind = SheetCell::Kind::Text;
            CollectText(is, decoded.text);
        }
        return true;
    }
    // A formula's last result; none when it was never calculated.
    const pugi::xml_node v = Child(cell, "v");
    if (!v)
        return true;
    const char* value = v.child_value();
    if (type == "s") {
        size_t index = 0;
        const char* end = value + std::strlen(value);
        const auto parsed = std::from_chars(value, end, index);
        if (parsed.ec != std::errc() || parsed.ptr != end || index >= sharedStrings.Size())
            return false;
        decoded.kind = SheetCell::Kind::Text;
        decoded.text = sharedStrings[index];
    } else if (type.empty() || type == "n") {
        if (*value == 0)
            return true;
        decoded.kind = SheetCell::Kind::Number;
        decoded.text = NumberText(value);
    } else {
        // str, d (a date as ISO text), b, e: as stored.
        decoded.kind = type == "b"   ? SheetCell::Kind::Boolean
                       : type == "e" ? SheetCell::Kind::Error
                                     : SheetCell::Kind::Text;
        decoded.text = value;
    }
    return true;
}

// The column of a cell reference ("AB12" -> 27); -1 when it is none.
int ReferenceColumn(const char* reference) {
    int column = -1;
    int letters = 0;
    for (; std::isalpha(static_cast<unsigned char>(*reference)); ++reference, ++letters) {
        if (letters == 3)
            return -1;
        column = (column + 1) * 26 + ((*reference | 0x20) - 'a');
    }
    return column <= 16383 && std::isdigit(static_cast<unsigned char>(*reference)) ? column : -1;
}

// Reads a row into cells. previous is the number of the row before (0 for
// the first); the result is this row's number, or 0 when the row or one of
// its cells is damaged.
int DecodeRow(pugi::xml_node row, int previous, const TextList& sharedStrings,
              std::vector<SheetCell>& cells) {
    int number = previous + 1;
    if (const pugi::xml_attribute r = row.attribute("r")) {
        const char* text = r.value();
        const char* end = text + std::strlen(text);
        const auto parsed = std::from_chars(text, end, number);
        if (parsed.ec != std::errc() || parsed.ptr != end)
            return 0;
    }
    if (number < 1 || number > 1048576)
        return 0;
    cells.clear();
    int column = -1;
    for (pugi::xml_node cell : row.children()) {
        if (!Is(cell, "c"))
            continue;
        const pugi::xml_attribute r = cell.attribute("r");
        column = r ? ReferenceColumn(r.value()) : column + 1;
        if (column < 0 || column > 16383)
            return 0;
        const auto index = static_cast<size_t>(column);
        if (index >= cells.size())
            cells.resize(index + 1);
        if (!DecodeCell(cell, sharedStrings, cells[index]))
            return 0;
    }
    while (!cells.empty() && cells.back().kind == SheetCell::Kind::Empty)
        cells.pop_back();
    return number;
}

} // namespace

std::string Worksheet::GetText(std::string_view address) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    pugi::xml_node data = Child(part.doc.document_element(), "sheetData");
    NumberRowsAndCells(data);
    SheetCell decoded;
    const pugi::xml_node cell = FindCell(data, ref);
    if (!cell || !DecodeCell(cell, m_book.m_sharedStrings, decoded))
        return {};
    return decoded.text;
}

void Worksheet::ForEachRow(
    const std::function<void(int row, const std::vector<SheetCell>& cells)>& visit) {
    const auto damaged = [&](int after) {
        m_book.Fail(WorkbookError::Failed,
                    after > 0 ? Format("Sešit '%s' je poškozený: list '%s' nelze přečíst za "
                                       "řádkem %d.",
                                       m_book.m_path.c_str(), m_name.c_str(), after)
                              : Format("Sešit '%s' je poškozený: list '%s' nelze přečíst.",
                                       m_book.m_path.c_str(), m_name.c_str()));
    };
    std::vector<SheetCell> cells;
    int number = 0;
    const auto visitRow = [&](pugi::xml_node row) {
        const int read = DecodeRow(row, number, m_book.m_sharedStrings, cells);
        if (read == 0)
            damaged(number);
        number = read;
        visit(number, cells);
    };
    if (const Workbook::Part* part = m_book.LoadedPart(m_part)) {
        const pugi::xml_node data = Child(part->doc.document_element(), "sheetData");
        if (!data)
            damaged(0);
        for (pugi::xml_node row : data.children()) {
            if (Is(row, "row"))
                visitRow(row);
        }
        return;
    }
    pugi::xml_document doc;
    const bool whole =
        m_book.ForEachElement(m_part, "sheetData", "row", [&](char* text, size_t size) {
            if (!doc.load_buffer_inplace(text, size, ParseFlags, pugi::encoding_utf8))
                damaged(number);
            visitRow(doc.document_element());
        });
    if (!whole)
        damaged(number);
}

namespace {

// The cell emptied of value and formula, keeping its style.
pugi::xml_node ClearedCell(pugi::xml_node data, const CellRef& ref) {
    NumberRowsAndCells(data);
    pugi::xml_node cell = MakeCell(data, ref);
    while (pugi::xml_node child = cell.first_child())
        cell.remove_child(child);
    cell.remove_attribute("t");
    cell.remove_attribute("cm");
    cell.remove_attribute("vm");
    return cell;
}

} // namespace

void Worksheet::PutInteger(std::string_view address, int32_t value) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    pugi::xml_node cell = ClearedCell(Child(part.doc.document_element(), "sheetData"), ref);
    AddChildBefore(cell, "v", {}).text().set(std::to_string(value).c_str());
    part.dirty = true;
}

void Worksheet::PutText(std::string_view address, std::string_view text) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    pugi::xml_node cell = ClearedCell(Child(part.doc.document_element(), "sheetData"), ref);
    cell.append_attribute("t") = "inlineStr";
    pugi::xml_node t = AddChildBefore(AddChildBefore(cell, "is", {}), "t", {});
    const std::string safe = XmlSafe(text);
    if (!safe.empty() && (std::isspace(static_cast<unsigned char>(safe.front())) ||
                          std::isspace(static_cast<unsigned char>(safe.back()))))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(safe.c_str());
    part.dirty = true;
}

void Worksheet::PutQuantity(std::string_view address, Quantity value) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    pugi::xml_node cell = ClearedCell(Child(part.doc.document_element(), "sheetData"), ref);
    AddChildBefore(cell, "v", {}).text().set(QuantityToPlainText(value).c_str());
    part.dirty = true;
}

void Worksheet::PutDecimal(std::string_view address, std::string_view number) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    pugi::xml_node cell = ClearedCell(Child(part.doc.document_element(), "sheetData"), ref);
    AddChildBefore(cell, "v", {}).text().set(std::string(number).c_str());
    part.dirty = true;
}

void Worksheet::Activate() {
    m_book.SetActive(m_index);
}

bool Worksheet::IsLocked(std::string_view address) {
    const CellRef ref = ParseCellAddress(address);
    Workbook::Part& part = m_book.LoadPart(m_part);
    const pugi::xml_node root = part.doc.document_element();
    pugi::xml_node data = Child(root, "sheetData");
    NumberRowsAndCells(data);
    // The style that applies: the cell's own (none is the first), else a
    // row's style marked as applying to its cells, else its column's.
    pugi::xml_attribute style;
    bool found = false;
    for (pugi::xml_node row : data.children()) {
        if (!Is(row, "row") || RowNumber(row) != ref.row)
            continue;
        if (const pugi::xml_node cell = FindCell(data, ref)) {
            style = cell.attribute("s");
            found = true;
        } else if (row.attribute("customFormat").as_bool()) {
            style = row.attribute("s");
            found = true;
        }
        break;
    }
    for (pugi::xml_node col = Child(root, "cols").first_child(); col && !found;
         col = col.next_sibling()) {
        found = Is(col, "col") && col.attribute("min").as_int() <= ref.column + 1 &&
                col.attribute("max").as_int() >= ref.column + 1;
        if (found)
            style = col.attribute("style");
    }
    size_t index = 0;
    if (style) {
        const char* text = style.value();
        const char* end = text + std::strlen(text);
        const auto parsed = std::from_chars(text, end, index);
        if (parsed.ec != std::errc() || parsed.ptr != end)
            index = SIZE_MAX;
    }
    const std::vector<bool>& locked = m_book.LockedStyles();
    if (index < locked.size())
        return locked[index];
    if (index == 0)
        return true;
    m_book.Fail(WorkbookError::Failed,
                Format("Sešit '%s' je poškozený: buňka %s listu '%s' má styl, který sešit nemá.",
                       m_book.m_path.c_str(), CellName(ref.column, ref.row).c_str(),
                       m_name.c_str()));
}

std::vector<CellRange> Worksheet::MergedRanges() {
    const Workbook::Part& part = m_book.LoadPart(m_part);
    std::vector<CellRange> ranges;
    for (pugi::xml_node merge : Child(part.doc.document_element(), "mergeCells").children()) {
        if (Is(merge, "mergeCell"))
            ranges.push_back(ParseCellRange(merge.attribute("ref").value()));
    }
    return ranges;
}

} // namespace tarvo
