#include "core/data/recordset.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/statement.h"

#include <algorithm>

namespace tarvo {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw ComError(ComError::Fail, what);
}

// A value converted to what the column stores.
Value ForColumn(const std::string& column, const Value& value) {
    if (value.IsEmpty())
        return value;
    const auto kind = KindOfColumn(column);
    if (!kind)
        return value;
    switch (*kind) {
    case ColumnKind::Identifier:
    case ColumnKind::Reference:
    case ColumnKind::Code:
    case ColumnKind::Integer:
        return Value(value.ToLong());
    case ColumnKind::Quantity:
        return Value(value.ToQuantity());
    case ColumnKind::Date:
        return Value(value.ToDate());
    case ColumnKind::Flag:
        return Value(value.ToBool());
    case ColumnKind::Text:
        return Value(value.ToString());
    }
    return value;
}

} // namespace

void Recordset::Close() {
    m_store = nullptr;
    m_appendTable.clear();
    m_columns.clear();
    m_rows.clear();
    m_pos = 0;
    m_edit = EditMode::None;
    m_buffer.clear();
    m_dirty.clear();
}

bool Recordset::IsEOF() const {
    return m_pos >= RecordCount();
}
bool Recordset::IsBOF() const {
    return m_pos < 0 || m_rows.empty();
}

void Recordset::MoveFirst() {
    MoveTo(0);
}
void Recordset::MoveLast() {
    MoveTo(RecordCount() - 1);
}
void Recordset::MoveNext() {
    MoveTo(m_pos + 1);
}
void Recordset::MovePrevious() {
    MoveTo(m_pos - 1);
}
void Recordset::Move(long n) {
    MoveTo(m_pos + n);
}

void Recordset::MoveTo(long position) {
    if (!IsOpen())
        throw ComError(ComError::InvalidPointer, "Sada záznamů není otevřena.");
    if (m_edit != EditMode::None)
        CancelUpdate();
    m_pos = std::clamp(position, -1L, RecordCount());
    if (m_rows.empty())
        m_pos = 0;
}

const std::string& Recordset::FieldName(int index) const {
    return m_columns.at(static_cast<size_t>(index)).name;
}

bool Recordset::HasField(std::string_view name) const {
    return IndexOf(name) >= 0;
}

int Recordset::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (EqualsNoCase(m_columns[i].name, name))
            return static_cast<int>(i);
    }
    // "Table.column" finds the column of that table.
    if (const size_t dot = name.find('.'); dot != std::string_view::npos) {
        const std::string_view table = name.substr(0, dot);
        const std::string_view column = name.substr(dot + 1);
        for (size_t i = 0; i < m_columns.size(); ++i) {
            if (EqualsNoCase(m_columns[i].table, table) &&
                EqualsNoCase(m_columns[i].origin, column))
                return static_cast<int>(i);
        }
    }
    return -1;
}

const std::vector<Value>& Recordset::CurrentRowConst() const {
    if (!IsOpen())
        throw ComError(ComError::InvalidPointer, "Sada záznamů není otevřena.");
    if (m_edit != EditMode::None)
        return m_buffer;
    if (m_pos < 0 || m_pos >= RecordCount())
        Fail("Aktuální záznam neexistuje (začátek nebo konec sady záznamů).");
    return m_rows[static_cast<size_t>(m_pos)];
}

std::vector<Value>& Recordset::CurrentRow() {
    return const_cast<std::vector<Value>&>(CurrentRowConst());
}

const Value& Recordset::Field(std::string_view name) const {
    const int index = IndexOf(name);
    if (index < 0)
        Fail(Format("Položka '%.*s' v sadě záznamů neexistuje.", static_cast<int>(name.size()),
                    name.data()));
    return Field(index);
}

const Value& Recordset::Field(int index) const {
    return CurrentRowConst().at(static_cast<size_t>(index));
}

void Recordset::AddNew() {
    if (!IsOpen())
        throw ComError(ComError::InvalidPointer, "Sada záznamů není otevřena.");
    m_edit = EditMode::Adding;
    m_buffer.assign(m_columns.size(), Value());
    m_dirty.assign(m_columns.size(), false);
}

void Recordset::SetField(std::string_view name, const Value& value) {
    const int index = IndexOf(name);
    if (index < 0)
        Fail(Format("Položka '%.*s' v sadě záznamů neexistuje.", static_cast<int>(name.size()),
                    name.data()));
    if (m_edit == EditMode::None) {
        m_buffer = CurrentRowConst();
        m_dirty.assign(m_columns.size(), false);
        m_edit = EditMode::Editing;
    }
    const Column& column = m_columns[static_cast<size_t>(index)];
    m_buffer[static_cast<size_t>(index)] = ForColumn(column.origin, value);
    m_dirty[static_cast<size_t>(index)] = true;
}

void Recordset::CancelUpdate() {
    m_edit = EditMode::None;
    m_buffer.clear();
    m_dirty.clear();
}

void Recordset::Update() {
    if (m_edit == EditMode::None)
        return;
    // Every edited column must come from one table.
    std::string table = m_appendTable;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (!m_dirty[i])
            continue;
        if (m_columns[i].table.empty())
            Fail(Format("Položku '%s' nelze zapsat: není sloupcem tabulky.",
                        m_columns[i].name.c_str()));
        if (table.empty())
            table = m_columns[i].table;
        else if (!EqualsNoCase(table, m_columns[i].table))
            Fail("Záznam nelze zapsat: upravené položky patří různým tabulkám.");
    }
    const TableInfo* info = FindTable(table);
    if (!info)
        Fail("Záznam nelze zapsat: neznámá tabulka.");

    std::string sql;
    std::vector<const Value*> values;
    if (m_edit == EditMode::Adding) {
        std::string names, marks;
        for (size_t i = 0; i < m_columns.size(); ++i) {
            if (!m_dirty[i])
                continue;
            names += (names.empty() ? "" : ", ") + m_columns[i].origin;
            marks += marks.empty() ? "?" : ", ?";
            values.push_back(&m_buffer[i]);
        }
        sql = names.empty() ? Format("INSERT INTO %s DEFAULT VALUES", info->name.data())
                            : Format("INSERT INTO %s (%s) VALUES (%s)", info->name.data(),
                                     names.c_str(), marks.c_str());
    } else {
        const int idIndex =
            info->idColumn.empty()
                ? -1
                : IndexOf(Format("%s.%s", info->name.data(), info->idColumn.data()));
        if (idIndex < 0)
            Fail("Záznam nelze zapsat: sada záznamů neobsahuje jeho identifikátor.");
        std::string sets;
        for (size_t i = 0; i < m_columns.size(); ++i) {
            if (!m_dirty[i])
                continue;
            sets += (sets.empty() ? "" : ", ") + m_columns[i].origin + " = ?";
            values.push_back(&m_buffer[i]);
        }
        values.push_back(&m_buffer[static_cast<size_t>(idIndex)]);
        sql = Format("UPDATE %s SET %s WHERE %s = ?", info->name.data(), sets.c_str(),
                     info->idColumn.data());
    }

    Statement& statement = m_store->Cached(sql);
    for (size_t i = 0; i < values.size(); ++i)
        statement.Bind(static_cast<int>(i + 1), *values[i]);
    statement.Run();

    if (m_edit == EditMode::Adding) {
        // The new row carries the identifier the database gave it.
        if (!info->idColumn.empty()) {
            const int idIndex = IndexOf(Format("%s.%s", info->name.data(), info->idColumn.data()));
            if (idIndex >= 0)
                m_buffer[static_cast<size_t>(idIndex)] = Value(m_store->LastInsertId());
        }
        if (!m_appendTable.empty())
            m_rows.clear(); // an append cursor keeps only the row added last
        m_rows.push_back(std::move(m_buffer));
        m_pos = RecordCount() - 1;
    } else {
        m_rows[static_cast<size_t>(m_pos)] = std::move(m_buffer);
    }
    m_edit = EditMode::None;
    m_buffer.clear();
    m_dirty.clear();
}

} // namespace tarvo
