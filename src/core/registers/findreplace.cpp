#include "core/registers/findreplace.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/sqlclause.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"

namespace tarvo {

std::optional<std::unordered_set<RecordId>> FindMatching(CDataStore& store,
                                                         const FindReplaceSpec& spec) {
    SqlClause criterion;
    if (spec.find.GetKind() == Value::Kind::Text && spec.partMatch)
        AndTextContains(criterion, spec.column, spec.find.ToString());
    else if (spec.find.GetKind() == Value::Kind::Text)
        AndTextEquals(criterion, spec.column, spec.find.ToString());
    else if (spec.find.GetKind() == Value::Kind::Bool)
        criterion.And(spec.column + " = ?", {Value(int64_t{spec.find.ToBool() ? 1 : 0})});
    else
        criterion.And(spec.column + " = ?", {spec.find});
    std::unordered_set<RecordId> ids;
    try {
        Statement st(store, "SELECT " + spec.idColumn + " FROM " + spec.table + " WHERE 1" +
                                criterion.sql);
        criterion.Bind(st);
        while (st.Step())
            ids.insert(st.Int(0));
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return std::nullopt;
    }
    return ids;
}

std::string ReplaceOccurrences(std::string text, const std::string& find,
                               const std::string& replacement) {
    if (find.empty())
        return text;
    for (size_t at = text.find(find); at != std::string::npos;
         at = text.find(find, at + replacement.size()))
        text.replace(at, find.size(), replacement);
    return text;
}

Outcome ReplaceInRecords(CDataStore& store, const FindReplaceSpec& spec,
                         const std::vector<RecordId>& ids) {
    const bool inText = spec.partMatch && spec.find.GetKind() == Value::Kind::Text;
    const std::string where = " WHERE " + spec.idColumn + " = ?";
    Value replacement = spec.replacement;
    if (replacement.GetKind() == Value::Kind::Bool)
        replacement = Value(int64_t{replacement.ToBool() ? 1 : 0});
    try {
        Transaction transaction(store);
        Statement update(store, "UPDATE " + spec.table + " SET " + spec.column + " = ?" + where);
        std::optional<Statement> read;
        if (inText)
            read.emplace(store, "SELECT " + spec.column + " FROM " + spec.table + where);
        const std::string find = spec.find.ToString();
        const std::string by = spec.replacement.ToString();
        for (RecordId id : ids) {
            if (read) {
                read->BindInt(1, id);
                const bool found = read->Step();
                const std::string value = found ? read->Text(0) : std::string();
                read->Reset();
                if (!found)
                    continue;
                update.BindText(1, ReplaceOccurrences(value, find, by));
            } else {
                update.Bind(1, replacement);
            }
            update.BindInt(2, id);
            update.Run();
        }
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

} // namespace tarvo
