#include "core/report/formsums.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"

#include <cctype>

namespace tarvo {

namespace {

__extension__ typedef __int128 Int128;

bool IsKSheet(FormSheetKind kind) {
    return kind == FormSheetKind::CompositeSplit || kind == FormSheetKind::CompositeSplit3;
}

bool IsRowSheet(FormSheetKind kind) {
    return kind == FormSheetKind::Sales || kind == FormSheetKind::GroupedTransport ||
           kind == FormSheetKind::Industrial;
}

const FormSheet& SheetOf(const FormTarget& target) {
    return FormSheets()[target.sheet];
}

// The L rows the form checks (positions in its rows and columns).
constexpr int LitteringPartlyCups = 3, LitteringPartlyContainers = 5;
constexpr int LitteringBags = 6, LitteringThinBags = 7;
constexpr int LitteringPlastic = 0, LitteringTotal = 1, LitteringPieces = 2;

struct BagLimits {
    int row;
    // Grams a piece, in halves of a gram.
    int lowHalves;
    int highHalves;
    const char* low;
    const char* high;
};
constexpr BagLimits Bags[] = {{LitteringBags, 2, 120, "1", "60"},
                              {LitteringThinBags, 1, 20, "0,5", "10"}};

std::string CoverNames(CDataStore& store, const std::set<RecordId>& covers) {
    Statement name(store, "SELECT cover_name FROM Cover WHERE cover_id = ?");
    std::string text;
    size_t listed = 0;
    for (RecordId cover : covers) {
        if (++listed > 10) {
            text += ", …";
            break;
        }
        name.BindInt(1, cover);
        const std::string found = name.Step() ? name.Text(0) : std::string("?");
        name.Reset();
        text += (text.empty() ? "" : ", ") +
                Format("%s (%lld)", found.c_str(), static_cast<long long>(cover));
    }
    return text;
}

Quantity CellSum(const FormSums& sums, int sheet, int row, int column) {
    const auto it = sums.cells.find(FormCellId({static_cast<uint8_t>(sheet),
                                                static_cast<uint8_t>(row),
                                                static_cast<uint8_t>(column),
                                                {}}));
    return it == sums.cells.end() ? Quantity::FromUnits(0) : it->second;
}

std::string LitteringRowName(int row) {
    std::string text;
    for (std::string_view label : FormRows(FormSheetKind::Littering)[static_cast<size_t>(row)]) {
        if (!label.empty())
            text += (text.empty() ? "" : ", ") + std::string(label);
    }
    return text;
}

bool IsEkokomId(const std::string& id) {
    return id.size() == 9 && std::isalpha(static_cast<unsigned char>(id.front()));
}

} // namespace

uint32_t FormCellId(const FormTarget& target) {
    return (uint32_t{target.sheet} << 16) | (uint32_t{target.row} << 8) | target.column;
}

FormTarget FormCellOfId(uint32_t id) {
    return {static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id),
            Quantity::FromUnits(0)};
}

FormSums ComputeFormSums(CDataStore& store, int year, int quarter,
                         const std::vector<bool>& hidden) {
    FormSums sums;
    ForEachFormLine(store, year, quarter, [&](const FormLine& line, FormPlacement& p) {
        LeaveOutHiddenSheets(p, hidden);
        if (p.leftOut) {
            sums.leftOut.Add(p.leftOut->reason, 1, line.kilograms);
            return;
        }
        Quantity composite = Quantity::FromUnits(0);
        std::optional<uint32_t> kColumn;
        for (const FormTarget& t : p.targets) {
            Quantity& cell =
                sums.cells.try_emplace(FormCellId(t), Quantity::FromUnits(0)).first->second;
            cell = cell + t.amount;
            const FormSheetKind kind = SheetOf(t).kind;
            if (IsKSheet(kind))
                kColumn = FormCellId({t.sheet, 0, t.column, {}});
            else if (IsRowSheet(kind))
                composite = composite + t.amount;
            else if (kind == FormSheetKind::Littering)
                sums.litteringCovers[t.row].insert(line.coverId);
        }
        if (kColumn) {
            Quantity& rows =
                sums.compositeRows.try_emplace(*kColumn, Quantity::FromUnits(0)).first->second;
            rows = rows + composite;
        }
    });
    return sums;
}

std::optional<std::string> ReconcileComposites(const FormSums& sums) {
    std::map<uint32_t, Quantity> kColumns;
    for (const auto& [id, amount] : sums.cells) {
        const FormTarget t = FormCellOfId(id);
        if (IsKSheet(SheetOf(t).kind)) {
            Quantity& column =
                kColumns.try_emplace(FormCellId({t.sheet, 0, t.column, {}}), Quantity::FromUnits(0))
                    .first->second;
            column = column + amount;
        }
    }
    if (kColumns == sums.compositeRows)
        return std::nullopt;
    for (const auto& [id, rows] : sums.compositeRows) {
        const auto k = kColumns.find(id);
        if (k == kColumns.end() || k->second != rows) {
            const FormTarget t = FormCellOfId(id);
            return Format(
                "Chyba programu: kompozitní obaly (%s t) nesouhlasí s rozpisem na listu "
                "%s (%s t).",
                KilogramsToTonnesText(rows).c_str(), std::string(SheetOf(t).name).c_str(),
                KilogramsToTonnesText(k == kColumns.end() ? Quantity::FromUnits(0) : k->second)
                    .c_str());
        }
    }
    return std::string("Chyba programu: rozpis kompozitních obalů nemá protějšek v jejich "
                       "řádcích.");
}

std::vector<std::string> CheckFormData(CDataStore& store, const FormSums& sums,
                                       const std::function<int(const FormTarget&)>& rowOf,
                                       const std::string& ekokomId) {
    std::vector<std::string> failures;
    const int sheet = FindFormSheet("L");
    const auto covers = [&](int row) {
        const auto it = sums.litteringCovers.find(row);
        return it == sums.litteringCovers.end() ? std::string()
                                                : " Obaly: " + CoverNames(store, it->second) + ".";
    };
    const auto where = [&](int row, int column) {
        const int formRow = rowOf({static_cast<uint8_t>(sheet),
                                   static_cast<uint8_t>(row),
                                   static_cast<uint8_t>(column),
                                   {}});
        return Format("List L, řádek %d (%s)", formRow, LitteringRowName(row).c_str());
    };
    for (const BagLimits& bag : Bags) {
        const Quantity total = CellSum(sums, sheet, bag.row, LitteringTotal);
        const Quantity pieces = CellSum(sums, sheet, bag.row, LitteringPieces);
        if (total.Scaled() == 0 && pieces.Scaled() == 0)
            continue;
        const int column = total.Scaled() ? LitteringTotal : LitteringPieces;
        if (total.Scaled() == 0 || pieces.Scaled() == 0) {
            failures.push_back(where(bag.row, column) +
                               ": je vyplněna jen hmotnost, nebo jen počet kusů." +
                               covers(bag.row));
            continue;
        }
        // Halves of a gram a piece: kg x 2000 / pieces.
        const Int128 halves = static_cast<Int128>(total.Scaled()) * 2000;
        if (halves < static_cast<Int128>(pieces.Scaled()) * bag.lowHalves ||
            halves > static_cast<Int128>(pieces.Scaled()) * bag.highHalves)
            failures.push_back(
                where(bag.row, column) +
                Format(": hmotnost jedné tašky má být od %s do %s g.", bag.low, bag.high) +
                covers(bag.row));
    }
    for (int row : {LitteringPartlyCups, LitteringPartlyContainers}) {
        const Quantity plastic = CellSum(sums, sheet, row, LitteringPlastic);
        const Quantity total = CellSum(sums, sheet, row, LitteringTotal);
        if (total.Scaled() == 0 && plastic.Scaled() == 0)
            continue;
        if (plastic.Scaled() == 0 || total <= plastic)
            failures.push_back(where(row, LitteringTotal) +
                               ": je třeba hmotnost plastu i celková hmotnost a celková musí být "
                               "větší než hmotnost plastu (podíl plastu pod 100 %)." +
                               covers(row));
    }
    if (!IsEkokomId(ekokomId))
        failures.push_back(
            ekokomId.empty()
                ? std::string(
                      "List Úvod, buňka F14: EKOKOM-ID chybí (Nastavení, údaje o společnosti).")
                : Format("List Úvod, buňka F14: EKOKOM-ID \"%s\" musí mít 9 znaků a začínat "
                         "písmenem.",
                         ekokomId.c_str()));
    return failures;
}

} // namespace tarvo
