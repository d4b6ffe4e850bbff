#include "ui/views/cviewcover.h"

#include "app/appglobals.h"
#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/recordset.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/clistmodel.h"
#include "ui/framework/commandids.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/localenumber.h"
#include "ui/pages/cpagedisc.h"
#include "ui/pages/wizard.h"

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal !";
constexpr const char* NoDiscard = "Není vybrán vyřazený obal !";
constexpr const char* RecordGone = "Záznam byl odstraněn jinou aplikací!";

QString Label(const CodeList& list, int64_t code) {
    return QString::fromStdString(list.Label(static_cast<int>(code)));
}

CListModel* MakeCoverModel() {
    return new CListModel(
        {QStringLiteral("Název"), QStringLiteral("Materiál"), QStringLiteral("Hmotnost [kg]"),
         QStringLiteral("Typ"), QStringLiteral("Původ"), QStringLiteral("Platba"),
         QStringLiteral("Opakovaně používaný")},
        "SELECT cover_id, cover_name, cover_mat, cover_weight, cover_type, cover_org, cover_pay, "
        "cover_reusable FROM Cover WHERE cover_id IN (%s)",
        [](const CStatement& st) {
            return QStringList{QString::fromStdString(st.Text(1)),
                               Label(Materials, st.Int(2)),
                               QString::fromStdString(VariantToText(Value(st.GetQuantity(3)))),
                               Label(CoverTypes, st.Int(4)),
                               Label(Origins, st.Int(5)),
                               Label(Payments, st.Int(6)),
                               st.Int(7) != 0 ? QStringLiteral("ano") : QStringLiteral("ne")};
        });
}

CListModel* MakeDiscardModel() {
    return new CListModel(
        {QStringLiteral("Datum"), QStringLiteral("Typ"), QStringLiteral("Hmotnost [kg]")},
        "SELECT disc_id, disc_date, disc_type, disc_qty*cover_weight AS totWeight "
        "FROM CoverDiscard INNER JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id "
        "WHERE disc_id IN (%s)",
        [](const CStatement& st) {
            return QStringList{DateText(st.Date(1)), Label(DiscardKinds, st.Int(2)),
                               QString::fromStdString(VariantToText(Value(st.GetQuantity(3))))};
        });
}

} // namespace

CViewCover::CViewCover(QWidget* parent) : CTableView(parent) {
    BuildMainPane(QStringLiteral("Obaly"), new CRecordList(MakeCoverModel(), true, this));
    AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, QStringLiteral("Vyřazené"),
               new CRecordList(MakeDiscardModel(), false, this));
}

bool CViewCover::HandlesCommand(int command) const {
    switch (command) {
    case cmd::Add2:
    case cmd::Edit2:
    case cmd::Delete2:
        return true;
    default:
        return CTableView::HandlesCommand(command);
    }
}

bool CViewCover::OnCommand(int command) {
    switch (command) {
    case cmd::Add:
        AddCover();
        return true;
    case cmd::Edit:
        EditCover();
        return true;
    case cmd::Delete:
        DeleteCovers();
        return true;
    case cmd::Filter:
        RunFilter();
        return true;
    case cmd::Add2:
        AddDiscard();
        return true;
    case cmd::Edit2:
        EditDiscard();
        return true;
    case cmd::Delete2:
        DeleteDiscard();
        return true;
    default:
        return CTableView::OnCommand(command);
    }
}

std::vector<std::string> CViewCover::SearchableColumns() const {
    return {"cover_name", "cover_mat", "cover_reusable", "cover_type", "cover_org", "cover_pay"};
}

std::string CViewCover::SearchColumnOfSort() const {
    static const char* const bySort[] = {
        "cover_name", "cover_mat", "", "cover_type", "cover_org", "cover_pay", "cover_reusable"};
    const int column = m_main.list->SortColumn();
    return column >= 0 && column < 7 ? bySort[column] : "";
}

void CViewCover::LoadMainList(int64_t selectId) {
    static const char* const sortColumns[] = {"cover_name",    "cover_mat", "cover_weight",
                                              "cover_type",    "cover_org", "cover_pay",
                                              "cover_reusable"};
    CRecordList* list = m_main.list;
    const int64_t keep = selectId != NoId ? selectId : FirstSelectedId(list);
    // Only the identifiers and the sort column are read; the rows are put in
    // order here (names in the Czech order), and the cells of the rows shown
    // are read when they are shown.
    const int column = list->SortColumn() >= 0 && list->SortColumn() < 7 ? list->SortColumn() : 0;
    // "+deleted" keeps SQLite from walking the index of the flag, which
    // nearly every row passes: a plain scan of the table is twice as fast.
    std::string sql =
        Format("SELECT cover_id, %s FROM Cover WHERE (+deleted = FALSE)", sortColumns[column]);
    if (m_filter.IsActive())
        sql += CoverFilterClause(m_filter);
    const auto kind =
        column == 0 ? CListModel::SortValue::CzechText : CListModel::SortValue::Number;
    const bool descending = list->SortDescending();
    FillList(
        list, [&] { return list->Model()->LoadSorted(Store(), sql, kind, descending); }, keep);
    SetPaneEnabled(1, list->SelectedCount() <= 1);
    LoadDiscards();
}

int64_t CViewCover::SingleSelectedCover() const {
    if (m_main.list->SelectedCount() != 1)
        return NoId;
    return FirstSelectedId(m_main.list);
}

bool CViewCover::DiscardsEnabled() const {
    return DiscardList()->isEnabled();
}

void CViewCover::OnMainSelectionChanged(bool) {
    UpdateDiscardPane();
}

void CViewCover::UpdateDiscardPane() {
    // The discards belong to one cover: with several covers selected the
    // pane is disabled, with none or several it is empty.
    SetPaneEnabled(1, m_main.list->SelectedCount() <= 1);
    if (SingleSelectedCover() != m_discardsCover)
        LoadDiscards();
}

void CViewCover::LoadDiscards() {
    CRecordList* list = DiscardList();
    const int64_t keep = FirstSelectedId(list);
    m_discardsCover = SingleSelectedCover();
    if (m_discardsCover == NoId) {
        list->Model()->Clear();
        list->ShowSortArrow();
        return;
    }
    const int column = list->SortColumn();
    const char* order = column == 1   ? " disc_type"
                        : column == 2 ? " disc_qty*cover_weight"
                                      : " disc_date";
    std::string sql = Format("SELECT disc_id FROM CoverDiscard INNER JOIN Cover ON "
                             "CoverDiscard.cover_id = Cover.cover_id WHERE "
                             "(CoverDiscard.cover_id=%li) ORDER BY%s",
                             static_cast<long>(m_discardsCover), order);
    if (list->SortDescending())
        sql += " DESC";
    FillList(list, sql, keep);
}

void CViewCover::OnSubHeaderClicked(int, int column) {
    DiscardList()->ClickSort(column);
    LoadDiscards();
}

void CViewCover::RecordVanished(CRecordList* list, int row) {
    Messages().ShowMessage(RecordGone, MsgIcon::Information);
    list->Model()->RemoveRow(row);
}

void CViewCover::AddCover() {
    CDlgCover dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int64_t id = NoId;
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, "Cover", CommandOption::Table);
        rs.AddNew();
        rs.SetField("cover_name", Value(dialog.name));
        rs.SetField("cover_weight", Value(dialog.weight));
        rs.SetField("cover_reusable", Value(dialog.reusable));
        rs.SetField("cover_type", Value(int32_t{dialog.type}));
        rs.SetField("cover_mat", Value(int32_t{dialog.material}));
        rs.SetField("cover_org", Value(int32_t{dialog.origin}));
        rs.SetField("cover_pay", Value(int32_t{dialog.payment}));
        rs.SetField("cover_stat", Value(int32_t{dialog.stat}));
        rs.SetField("cover_note", Value(dialog.note));
        rs.Update();
        id = rs.GetLong("cover_id");
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
        return;
    }
    LoadMainList(id);
}

void CViewCover::EditCover() {
    CRecordList* list = m_main.list;
    const int row = list->FocusedRow();
    if (row < 0) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    const int64_t id = list->Model()->Id(row);
    const std::string sql =
        Format("SELECT * FROM Cover WHERE (cover_id = %li)", static_cast<long>(id));
    CDlgCover dialog(this);
    int oldType = -1;
    int oldOrigin = -1;
    int oldPayment = -1;
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, sql);
        if (rs.IsEOF()) {
            RecordVanished(list, row);
            return;
        }
        dialog.name = rs.GetText("cover_name");
        dialog.weight = rs.GetQuantity("cover_weight");
        dialog.reusable = rs.GetBool("cover_reusable");
        dialog.stat = static_cast<int>(rs.GetLong("cover_stat"));
        dialog.material = static_cast<int>(rs.GetLong("cover_mat"));
        dialog.origin = oldOrigin = static_cast<int>(rs.GetLong("cover_org"));
        dialog.type = oldType = static_cast<int>(rs.GetLong("cover_type"));
        dialog.payment = oldPayment = static_cast<int>(rs.GetLong("cover_pay"));
        dialog.note = rs.GetText("cover_note");
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
        return;
    }
    if (dialog.exec() != QDialog::Accepted)
        return;

    const bool carried =
        dialog.type != oldType || dialog.origin != oldOrigin || dialog.payment != oldPayment;
    try {
        // The cover and the lines its change is carried into are one unit:
        // either all of them change or none.
        CTransaction transaction(Store());
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, sql);
        if (rs.IsEOF()) {
            RecordVanished(list, row);
            return;
        }
        rs.SetField("cover_name", Value(dialog.name));
        rs.SetField("cover_weight", Value(dialog.weight));
        rs.SetField("cover_reusable", Value(dialog.reusable));
        rs.SetField("cover_type", Value(int32_t{dialog.type}));
        rs.SetField("cover_mat", Value(int32_t{dialog.material}));
        rs.SetField("cover_org", Value(int32_t{dialog.origin}));
        rs.SetField("cover_pay", Value(int32_t{dialog.payment}));
        rs.SetField("cover_stat", Value(int32_t{dialog.stat}));
        rs.SetField("cover_note", Value(dialog.note));
        rs.Update();
        if (carried) {
            const PropagationSwitches& switches = TheSwitches();
            const struct {
                bool on;
                const char* table;
            } targets[] = {{switches.coverToCompCovers, "CompCover_Item"},
                           {switches.coverToPackaging, "Prod_Cover"},
                           {switches.coverToDispatches, "Move_Cover"}};
            for (const auto& target : targets) {
                if (!target.on)
                    continue;
                Store().ExecuteOrThrow(Format(
                    "UPDATE %s SET cover_type=%li, cover_org=%li, cover_pay=%li WHERE "
                    "cover_id=%li",
                    target.table, static_cast<long>(dialog.type), static_cast<long>(dialog.origin),
                    static_cast<long>(dialog.payment), static_cast<long>(id)));
            }
        }
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
        return;
    }
    if (carried)
        BroadcastToOthers(ViewNotification::ReloadCovers);
    LoadMainList();
}

void CViewCover::DeleteCovers() {
    const std::vector<int> rows = m_main.list->SelectedRows();
    if (rows.empty()) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    if (!Messages().AskYesNo("Opravdu si přejete odstranit vybrané obaly", MsgIcon::Question))
        return;
    try {
        CTransaction transaction(Store());
        Store().ExecuteOrThrow("DELETE FROM TmpID");
        CStatement insert(Store(), "INSERT INTO TmpID (id) VALUES (?)");
        for (int row : rows) {
            insert.BindInt(1, m_main.list->Model()->Id(row));
            insert.Run();
            insert.Reset();
        }
        Store().ExecuteOrThrow("DELETE FROM CoverDiscard WHERE cover_id IN (SELECT id FROM TmpID)");
        Store().ExecuteOrThrow(
            "DELETE FROM CompCover_Item WHERE cover_id IN (SELECT id FROM TmpID)");
        Store().ExecuteOrThrow(
            "UPDATE Cover SET deleted = true WHERE (cover_id IN (SELECT id FROM TmpID))");
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
    }
    LoadMainList();
}

void CViewCover::RunFilter() {
    FilterButton()->SetHeldPressed(true);
    CDlgFilterCover dialog(this);
    dialog.filter = m_filter;
    if (dialog.exec() == QDialog::Accepted) {
        m_filter = dialog.filter;
        LoadMainList();
    }
    SetFilterActive(m_filter.IsActive());
}

namespace {

// The wizard's values of a discard; the day alone is stored, without the time.
void WriteDiscard(CRecordset& rs, const CPageDisc& page) {
    rs.SetField("disc_date", Value(page.date.DayOnly()));
    rs.SetField("disc_type", Value(int32_t{page.kind}));
    rs.SetField("disc_qty", Value(page.quantity));
    rs.Update();
}

} // namespace

void CViewCover::AddDiscard() {
    if (!DiscardsEnabled())
        return;
    const int64_t cover = FirstSelectedId(m_main.list);
    if (cover == NoId) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    CWizard wizard(this);
    auto* page = new CPageDisc;
    page->coverId = cover;
    wizard.AddPage(page);
    if (!wizard.Run())
        return;
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, "CoverDiscard", CommandOption::Table);
        rs.AddNew();
        rs.SetField("cover_id", Value(cover));
        WriteDiscard(rs, *page);
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
    }
    LoadDiscards();
}

std::optional<int> CViewCover::SelectedDiscardRow() {
    if (!DiscardsEnabled())
        return std::nullopt;
    const std::vector<int> rows = DiscardList()->SelectedRows();
    if (rows.empty()) {
        Messages().ShowMessage(NoDiscard, MsgIcon::Exclamation);
        return std::nullopt;
    }
    return rows.front();
}

void CViewCover::EditDiscard() {
    const std::optional<int> selected = SelectedDiscardRow();
    if (!selected)
        return;
    CRecordList* list = DiscardList();
    const int row = *selected;
    const std::string sql = Format("SELECT * FROM CoverDiscard WHERE (disc_id = %li)",
                                   static_cast<long>(list->Model()->Id(row)));
    CWizard wizard(this);
    auto* page = new CPageDisc;
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, sql);
        if (rs.IsEOF()) {
            RecordVanished(list, row);
            return;
        }
        page->coverId = rs.GetLong("cover_id");
        page->date = rs.GetDate("disc_date");
        page->kind = static_cast<int>(rs.GetLong("disc_type"));
        page->quantity = rs.GetQuantity("disc_qty");
    } catch (const ComError& e) {
        delete page;
        ShowComError(Messages(), e);
        return;
    }
    wizard.AddPage(page);
    if (!wizard.Run())
        return;
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs, sql);
        if (rs.IsEOF()) {
            RecordVanished(list, row);
            return;
        }
        WriteDiscard(rs, *page);
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
    }
    LoadDiscards();
}

void CViewCover::DeleteDiscard() {
    const std::optional<int> selected = SelectedDiscardRow();
    if (!selected)
        return;
    CRecordList* list = DiscardList();
    const int row = *selected;
    const std::string question =
        Format("Opravdu si přejete odstranit ze seznamu obal vyřazený \"%s\" ?",
               list->Model()->Cell(row, 0).toStdString().c_str());
    if (!Messages().AskYesNo(question, MsgIcon::Question))
        return;
    if (Store().Execute(Format("DELETE FROM CoverDiscard WHERE (disc_id = %li)",
                               static_cast<long>(list->Model()->Id(row)))))
        list->Model()->RemoveRow(row);
}

} // namespace tarvo
