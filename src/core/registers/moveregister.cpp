#include "core/registers/moveregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/packagingresolution.h"
#include "core/ports/messageport.h"
#include "core/registers/recordaccess.h"

namespace tarvo {

namespace {

constexpr const char* NoDispatch = "Není vybrán doklad!";
constexpr const char* LineGone = "Údaje o produktu byly odstraněny jinou aplikací!";

// The imports find a document again by its number, so two dispatches with
// one number (in any letter case) would make the next import pick one of
// them at random. Told naming the other dispatch; true when refused.
bool NumberTaken(CDataStore& store, const std::string& number, RecordId self) {
    if (number.empty())
        return false;
    const std::optional<NumberedMove> other = MoveWithNumber(store, number, self);
    if (!other)
        return false;
    store.Messages().ShowMessage(Format("Číslo dokladu „%s“ již má výdej „%s“ ze dne %s. Zadejte "
                                        "jiné číslo dokladu.",
                                        number.c_str(), other->number.c_str(),
                                        other->date.ToText().c_str()),
                                 MsgIcon::Exclamation);
    return true;
}

} // namespace

MoveRegister::MoveRegister(CDataStore& store) : m_store(store) {}

OleDate MoveRegister::DispatchDate(RecordId move) {
    return MoveDate(m_store, move).value_or(OleDate::Now());
}

ReadResult<MoveRecord> MoveRegister::Read(RecordId id) {
    return ReadFound<MoveRecord>(m_store, [&] { return FindMove(m_store, id); });
}

ReadResult<RecordId> MoveRegister::Add(const MoveRecord& move) {
    try {
        Transaction unit(m_store);
        if (NumberTaken(m_store, move.number, NoRecord))
            return {Outcome::Refused, NoRecord};
        const RecordId id = MoveWriter(m_store).Insert(move);
        unit.Commit();
        return {Outcome::Done, id};
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return {Outcome::Failed, NoRecord};
    }
}

Outcome MoveRegister::Update(RecordId id, const MoveRecord& move) {
    try {
        Transaction unit(m_store);
        const std::optional<MoveRecord> stored = FindMove(m_store, id);
        if (RecordGone(m_store, stored.has_value()))
            return Outcome::Vanished;
        // Only a new number is checked: documents imported before the check
        // may share one, and a change of their date must stay possible.
        if (stored->number != move.number && NumberTaken(m_store, move.number, id))
            return Outcome::Refused;
        UpdateMove(m_store, id, move);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoDispatch, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!messages.AskYesNo("Opravdu si přejete odstranit vybrané výdeje?", MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        Transaction unit(m_store);
        DeleteMoves(m_store, ids);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

ReadResult<MoveLineRecord> MoveRegister::ReadLine(RecordId id) {
    return ReadFound<MoveLineRecord>(m_store, [&] { return FindMoveLine(m_store, id); });
}

std::optional<RecordId> MoveRegister::AddLine(RecordId move, RecordId product, Quantity quantity) {
    try {
        Transaction unit(m_store);
        const RecordId line = MoveLineWriter(m_store).Insert({move, product, quantity});
        const OleDate date = DispatchDate(move);
        // A dispatch without a date gives its lines no covers; any other
        // failure of the derivation has been shown and undoes the line too.
        if (ResolveMoveCovers(m_store, line, move, product, quantity, date) < 0 && date.IsValid())
            return std::nullopt;
        unit.Commit();
        return line;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome MoveRegister::UpdateLineQuantity(RecordId id, Quantity quantity) {
    try {
        Transaction unit(m_store);
        const std::optional<MoveLineRecord> line = FindMoveLine(m_store, id);
        if (RecordGone(m_store, line.has_value()))
            return Outcome::Vanished;
        if (line->quantity == quantity && line->quantity.IsValid())
            return Outcome::Unchanged;
        UpdateMoveLineQuantity(m_store, id, quantity);
        const OleDate date = DispatchDate(line->move);
        if (ReplaceLineCovers(m_store, id, line->move, line->product, quantity, date) < 0 &&
            date.IsValid())
            return Outcome::Failed;
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteLine(RecordId id) {
    return DeleteNamed(id,
                       "SELECT prod_name FROM Move_Prod LEFT JOIN Product ON Move_Prod.prod_id = "
                       "Product.prod_id WHERE mvprod_id = ?",
                       "Opravdu si přejete odstranit ze seznamu produkt\n„%s“?",
                       [&] { DeleteMoveLine(m_store, id); });
}

ReadResult<MoveCoverRecord> MoveRegister::ReadCoverLine(RecordId id) {
    return ReadFound<MoveCoverRecord>(m_store, [&] { return FindMoveCover(m_store, id); });
}

Outcome MoveRegister::AddCoverLine(RecordId line, const MoveCoverRecord& cover) {
    IMessagePort& messages = m_store.Messages();
    try {
        Transaction unit(m_store);
        const std::optional<MoveLineRecord> owner = FindMoveLine(m_store, line);
        if (!owner) {
            // Covers without their product line would be counted in the
            // report but could never be seen or removed here.
            DeleteMoveLine(m_store, line);
            unit.Commit();
            messages.ShowMessage(LineGone, MsgIcon::Information);
            return Outcome::Vanished;
        }
        MoveCoverRecord added = cover;
        added.move = owner->move;
        added.line = line;
        MoveCoverWriter(m_store).Insert(added);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::UpdateCoverLineQuantity(RecordId id, Quantity quantity) {
    try {
        Transaction unit(m_store);
        const std::optional<MoveCoverRecord> stored = FindMoveCover(m_store, id);
        if (RecordGone(m_store, stored.has_value()))
            return Outcome::Vanished;
        if (stored->quantity == quantity && stored->quantity.IsValid())
            return Outcome::Unchanged;
        UpdateMoveCoverQuantity(m_store, id, quantity);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteCoverLine(RecordId id) {
    return DeleteNamed(id,
                       "SELECT cover_name FROM Move_Cover LEFT JOIN Cover ON Move_Cover.cover_id = "
                       "Cover.cover_id WHERE mvcover_id = ?",
                       "Opravdu si přejete odstranit ze seznamu obal\n„%s“?",
                       [&] { DeleteMoveCover(m_store, id); });
}

Outcome MoveRegister::DeleteNamed(RecordId id, const char* nameSql, const char* question,
                                  const std::function<void()>& remove) {
    IMessagePort& messages = m_store.Messages();
    try {
        std::string name;
        {
            Statement st(m_store, nameSql);
            st.BindInt(1, id);
            if (RecordGone(m_store, st.Step()))
                return Outcome::Vanished;
            name = st.Text(0);
        }
        if (!messages.AskYesNo(Format(question, name.c_str()), MsgIcon::Question))
            return Outcome::Unchanged;
        Transaction unit(m_store);
        remove();
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

} // namespace tarvo
