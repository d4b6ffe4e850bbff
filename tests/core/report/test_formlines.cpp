#include "core/records/classification.h"
#include "core/report/formlines.h"
#include "rows.h"
#include "testdatabase.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::Q;

// A quarter's records as the statement since 2021 reads them: which count,
// where they go, why some do not; and the cheap summary agrees with them.
class FormLinesTest : public ::testing::Test {
protected:
    RecordId Cover(const char* weight, bool reusable,
                   std::optional<CoverClassification> c = std::nullopt) {
        const RecordId id = test::rows::Cover(db.store, {"c", Q(weight), reusable, 2, 0, 1, 1, 0});
        if (c)
            WriteClassification(db.store, id, *c);
        return id;
    }
    RecordId Line(OleDate date, RecordId cover, const char* quantity, int payment = 1) {
        const RecordId move = test::rows::Move(db.store, {"m", 0, date, false});
        return test::rows::MoveCover(db.store, {move, NoRecord, cover, Q(quantity), 2, 1, payment});
    }
    std::vector<std::string> Visit() {
        std::vector<std::string> seen;
        ForEachFormLine(db.store, 2022, 1, [&](const FormLine& line, const FormPlacement& p) {
            std::string text = (line.kind == FormLine::Discard ? "vyřazení " : "řádek ") +
                               std::to_string(line.id) + ": ";
            if (p.leftOut)
                text += FormLeftOutText(p.leftOut->reason) + (" " + p.leftOut->detail);
            for (const FormTarget& t : p.targets)
                text += DescribeTarget(t) + " = " + QuantityToPlainText(t.amount) + "; ";
            seen.push_back(text);
            if (p.leftOut)
                visited.Add(p.leftOut->reason, 1, line.kilograms);
        });
        // The database's order is not the statement's concern.
        std::sort(seen.begin(), seen.end());
        return seen;
    }

    test::TestDatabase db;
    FormLeftOutSummary visited;
};

CoverClassification Classified(int material, int shape) {
    CoverClassification c;
    c.material = material;
    c.shape = shape;
    return c;
}

TEST_F(FormLinesTest, QuarterLinesGoToTheirCellsOrSayWhyNot) {
    const RecordId pet = Cover("0,5", false, Classified(0, 0));
    const RecordId loose = Cover("1", false);
    const RecordId crate = Cover("2", true, Classified(35, -1));
    const RecordId first = Line(OleDate::FromParts(2022, 1, 1), pet, "4");
    // Within half a second of midnight on the quarter's last day: still in it.
    const RecordId late =
        Line(OleDate::FromValue(OleDate::FromParts(2022, 3, 31).Value() + 0.99999), pet, "2");
    Line(OleDate::FromParts(2022, 4, 1), pet, "100");
    Line(OleDate::FromParts(2021, 12, 31), pet, "100");
    const RecordId unclassified = Line(OleDate::FromParts(2022, 2, 1), loose, "3");
    const RecordId empty = Line(OleDate::FromParts(2022, 2, 1), pet, "0");
    const RecordId gone = Line(OleDate::FromParts(2022, 2, 2), 999, "1");
    const RecordId disposed =
        test::rows::Discard(db.store, {crate, OleDate::FromParts(2022, 3, 1), 1, Q("1")});
    const RecordId abroad =
        test::rows::Discard(db.store, {crate, OleDate::FromParts(2022, 3, 2), 2, Q("3")});
    WriteDiscardDestination(db.store, abroad, 1);

    const auto id = [](RecordId r) { return std::to_string(r); };
    const std::string petCell =
        "J1-1A | Plasty PET transparentní | Měkké, flexibilní primární vyrobené, nakoupené v ČR";
    std::vector<std::string> expected{
        "řádek " + id(first) + ": " + petCell + " = 2; ",
        "řádek " + id(late) + ": " + petCell + " = 1; ",
        "řádek " + id(unclassified) +
            ": obal nemá úplné zařazení pro výkaz od roku 2021 obal nemá zařazení",
        "řádek " + id(empty) + ": nulová, záporná nebo neznámá hmotnost hmotnost 0 kg",
        "řádek " + id(gone) + ": chybí obal obal 999 neexistuje",
        "vyřazení " + id(disposed) + ": vyřazení „odstraněno“ nemá ve výkazu sloupec ",
        "vyřazení " + id(abroad) +
            ": S1 | Dřevo | Prodejní recyklováno v jiných členských státech EU = 6; ",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Visit(), expected);

    const FormLeftOutSummary summary = SummarizeLeftOut(db.store, 2022, 1);
    EXPECT_EQ(summary.byReason, visited.byReason);
    EXPECT_EQ(summary.lines, visited.lines);
    EXPECT_EQ(summary.kilograms, visited.kilograms);
    EXPECT_EQ(summary.Text(),
              "4 řádky obalů (5 kg) nepůjdou do výkazu: chybí obal (1); obal nemá úplné zařazení "
              "pro výkaz od roku 2021 (1); nulová, záporná nebo neznámá hmotnost (1); vyřazení "
              "„odstraněno“ nemá ve výkazu sloupec (1)");
    EXPECT_EQ(SummarizeLeftOut(db.store, 2023, 1).Text(), "");
}

} // namespace
} // namespace tarvo
