#include "core/engine/packagingresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/engine/linerewriter.h"
#include "core/engine/runpagecache.h"
#include "core/ports/progressport.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace tarvo {

namespace {

constexpr const char* ProductLinesSql =
    "SELECT Move.move_date, Move_Prod.mvprod_id, Move_Prod.move_id, Move_Prod.mvprod_qty FROM "
    "Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id WHERE (Move_Prod.prod_id=?) "
    "ORDER BY Move_Prod.mvprod_id";

std::vector<ProductLine> ReadProductLines(CDataStore& store, RecordId prodId) {
    std::vector<ProductLine> lines;
    Statement query(store, ProductLinesSql);
    query.BindInt(1, prodId);
    while (query.Step())
        lines.push_back({query.Int(1), query.Int(2), static_cast<long>(prodId),
                         query.GetQuantity(3), query.Date(0)});
    return lines;
}

// Replaces the cover lines of a product line by derived ones where they
// differ, keeping the rows that are already right. The result is what
// deleting the old rows and appending the new ones gives (the same rows in
// the same order), but a change of packaging usually alters the quantities
// of a few rows and leaves most as they were: rewriting only those touches
// far fewer pages and no index of Move_Cover.
class CoverRewrite {
public:
    explicit CoverRewrite(CDataStore& store)
        : m_old(store, "SELECT mvcover_id, move_id, cover_id, mvcover_qty, cover_type, "
                       "cover_org, cover_pay FROM Move_Cover WHERE mvprod_id = ? ORDER BY "
                       "mvcover_id"),
          m_setValues(store, "UPDATE Move_Cover SET mvcover_qty = ?, cover_type = ?, "
                             "cover_org = ?, cover_pay = ? WHERE mvcover_id = ?"),
          m_setAll(store, "UPDATE Move_Cover SET mvcover_qty = ?, cover_type = ?, cover_org = ?, "
                          "cover_pay = ?, cover_id = ?, move_id = ? WHERE mvcover_id = ?"),
          m_remove(store, "DELETE FROM Move_Cover WHERE mvcover_id = ?"), m_append(store, true) {}

    void Replace(int64_t mvprodId, int64_t moveId, const std::vector<DerivedCover>& rows) {
        struct OldRow {
            int64_t id;
            std::optional<int64_t> moveId;
            bool noQty; // a derived row always has one
            DerivedCover cover;
        };
        std::vector<OldRow> old;
        m_old.BindInt(1, mvprodId);
        while (m_old.Step())
            old.push_back({m_old.Int(0),
                           Optional(m_old, 1),
                           m_old.IsNull(3),
                           {Optional(m_old, 2), m_old.GetQuantity(3), Optional(m_old, 4),
                            Optional(m_old, 5), Optional(m_old, 6)}});
        m_old.Reset();

        const size_t kept = std::min(old.size(), rows.size());
        for (size_t i = 0; i < kept; ++i) {
            const OldRow& was = old[i];
            const DerivedCover& row = rows[i];
            if (was.cover == row && was.moveId == moveId && !was.noQty)
                continue;
            // Only a changed cover or dispatch touches the indexes.
            const bool all = was.cover.coverId != row.coverId || was.moveId != moveId;
            Statement& update = all ? m_setAll : m_setValues;
            BindValues(update, row);
            if (all) {
                BindOptional(update, 5, row.coverId);
                update.BindInt(6, moveId);
            }
            update.BindInt(all ? 7 : 5, was.id);
            update.Run();
        }
        for (size_t i = kept; i < old.size(); ++i) {
            m_remove.BindInt(1, old[i].id);
            m_remove.Run();
        }
        m_append.Append(
            mvprodId, moveId,
            std::vector<DerivedCover>(rows.begin() + static_cast<long>(kept), rows.end()));
    }

private:
    static std::optional<int64_t> Optional(const Statement& s, int column) {
        if (s.IsNull(column))
            return std::nullopt;
        return s.Int(column);
    }
    static void BindOptional(Statement& s, int index, const std::optional<int64_t>& value) {
        if (value)
            s.BindInt(index, *value);
        else
            s.BindNull(index);
    }
    // Quantity and the three codes: the first four parameters.
    static void BindValues(Statement& s, const DerivedCover& row) {
        s.BindInt(1, row.qty.Scaled());
        BindOptional(s, 2, row.coverType);
        BindOptional(s, 3, row.coverOrg);
        BindOptional(s, 4, row.coverPay);
    }

    Statement m_old;
    Statement m_setValues;
    Statement m_setAll;
    Statement m_remove;
    DerivedCoverWriter m_append;
};

// A failure that is no database error (memory running out, a fault of the
// program) is told as well: a line left without its covers must never pass
// unnoticed.
void ShowUnexpected(CDataStore& store, const char* what) {
    const char* text = "Obaly řádku výdeje se nepodařilo odvodit kvůli neočekávané chybě";
    ShowComError(store.Messages(), ComError(ComError::Fail, what ? Format("%s: %s", text, what)
                                                                 : Format("%s.", text)));
}

// Derives one line's covers as one unit, after deleting its old ones when
// asked: a failure leaves the line exactly as it was.
long DeriveAsUnit(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                  Quantity qty, const OleDate& moveDate, bool deleteOld) {
    try {
        Transaction unit(store);
        CoverDerivation derivation(store, false);
        if (deleteOld)
            derivation.DeleteCovers(mvprodId);
        const long count = derivation.Append(mvprodId, moveId, prodId, qty, moveDate);
        unit.Commit();
        return count;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
    } catch (const std::exception& e) {
        ShowUnexpected(store, e.what());
    } catch (...) {
        ShowUnexpected(store, nullptr);
    }
    return -1;
}

} // namespace

long ResolveMoveCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate) {
    if (!moveDate.IsValid())
        return -1;
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, false);
}

long ReplaceLineCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate) {
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, true);
}

long ResolveProdMoves(CDataStore& store, RecordId prodId) {
    try {
        // Read first, write afterwards: the lines of one product are few
        // enough to hold, and the list does not change under the writes.
        const std::vector<ProductLine> lines = ReadProductLines(store, prodId);
        LineRewriter rewriter(store);
        long count = 0;
        for (const ProductLine& line : lines) {
            rewriter.Rewrite(line);
            ++count;
        }
        rewriter.CommitBatch();
        return count;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return -1;
    }
}

long RederiveProdMoves(CDataStore& store, RecordId prodId, IProgressPort& progress) {
    const std::vector<ProductLine> lines = ReadProductLines(store, prodId);
    if (lines.empty())
        return 0;
    const RunPageCache cache(store);
    CoverDerivation derivation(store, true);
    CoverRewrite rewrite(store);

    constexpr int BarRange = 100;
    const size_t n = lines.size();
    const size_t step = std::max<size_t>(1, n / BarRange);
    progress.SetRange(0, BarRange);
    progress.SetStatus("Aktualizuji obaly u vydaných produktů");
    for (size_t i = 0; i < n; ++i) {
        if (i % step == 0)
            progress.SetPos(static_cast<int>(i * BarRange / n));
        const ProductLine& line = lines[i];
        rewrite.Replace(line.mvprodId, line.moveId,
                        derivation.Derive(line.prodId, line.qty, line.moveDate));
    }
    progress.SetPos(BarRange);
    return static_cast<long>(n);
}

} // namespace tarvo
