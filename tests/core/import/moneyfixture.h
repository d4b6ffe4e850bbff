#pragma once

#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/import/moneys3import.h"
#include "importsummary.h"
#include "rows.h"
#include "testdatabase.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvo::test {

// A copy of the sample Money data (one agenda, one year) and a working
// database to import it into.
class MoneyImportTest : public ::testing::Test {
protected:
    MoneyImportTest() {
        std::filesystem::copy(TARVO_FIXTURES "/money", money.Path(),
                              std::filesystem::copy_options::recursive);
        params.agendaFolder = money.Folder() + "Agenda.001/";
        params.yearFolder = money.Folder() + "Agenda.001/Rok.2024/";
    }

    ImportResult Import() {
        db.messages.shown.clear();
        views.sent.clear();
        return RunImport(
            db.messages, views,
            [this](ImportCounters& c) {
                return ImportMoneyS3(db.store, db.messages, progress, params, c);
            },
            counters);
    }

    // Replaces the first occurrence of from in a sample file.
    void Edit(const std::string& file, const std::string& from, const std::string& to) {
        const std::string path = params.agendaFolder + file;
        std::string text = ReadFile(path);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        WriteFile(path, text.replace(at, from.size(), to));
    }

    // Every document: "number|date|type|export|lines|covers", by move_id.
    std::vector<std::string> Documents() {
        std::vector<std::string> rows;
        Statement query(db.store, "SELECT m.move_num, m.move_date, m.move_type, m.move_export, "
                                  "(SELECT COUNT(*) FROM Move_Prod p WHERE p.move_id = m.move_id), "
                                  "(SELECT COUNT(*) FROM Move_Cover c WHERE c.move_id = m.move_id) "
                                  "FROM Move m ORDER BY m.move_id");
        while (query.Step())
            rows.push_back(Format(
                "%s|%s|%lld|%lld|%lld|%lld", query.Text(0).c_str(), query.Date(1).ToText().c_str(),
                static_cast<long long>(query.Int(2)), static_cast<long long>(query.Int(3)),
                static_cast<long long>(query.Int(4)), static_cast<long long>(query.Int(5))));
        return rows;
    }

    TestDatabase db;
    TempFolder money;
    RecordingProgress progress;
    RecordingNotifier views;
    MoneyImportParams params;
    ImportCounters counters;
};

} // namespace tarvo::test
