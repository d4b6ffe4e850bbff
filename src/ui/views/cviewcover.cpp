#include "ui/views/cviewcover.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "core/registers/coverrows.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/dialogs/cdlgfiltercover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagedisc.h"

namespace tarvo {

namespace {
constexpr const char* NoCover = "Není vybrán obal!";
constexpr const char* NoDiscard = "Není vybrán vyřazený obal!";
} // namespace

CViewCover::CViewCover(const GuiContext& context, QWidget* parent)
    : TableView(context, parent), m_covers(context.store, context.switches, OtherViews()) {
    BuildMainPane(QStringLiteral("Obaly"),
                  new RecordList(new ListModel(Messages(), MakeCoverRows(Store())), true, this));
    SetPaneMenu(0, RecordMenu::Covers);
    AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, QStringLiteral("Vyřazené"),
               new RecordList(new ListModel(Messages(), MakeDiscardRows(Store())), false, this));
    // The discards belong to one cover: their commands wait while several
    // covers are selected.
    const auto discards = [this] { return DiscardsEnabled(); };
    AddCommands({{cmd::Add, [this] { AddCover(); }},
                 {cmd::Edit, [this] { EditCover(); }},
                 {cmd::Delete, [this] { DeleteCovers(); }},
                 {cmd::Undelete, [this] { RestoreCovers(); }},
                 {cmd::Filter, [this] { RunFilter(); }},
                 {cmd::ProposeClassifications, [this] { ProposeClassifications(); }},
                 {cmd::Add2, [this] { AddDiscard(); }, discards},
                 {cmd::Edit2, [this] { EditDiscard(); }, discards},
                 {cmd::Delete2, [this] { DeleteDiscard(); }, discards}});
}

std::vector<SearchColumn> CViewCover::SearchColumns() const {
    return {{"cover_name", QStringLiteral("Název")},
            {"cover_mat", QStringLiteral("Materiál"), &Materials},
            {"cover_reusable", QStringLiteral("Opakovaně používaný"), nullptr, true},
            {"cover_type", QStringLiteral("Typ"), &CoverTypes},
            {"cover_org", QStringLiteral("Původ"), &Origins},
            {"cover_pay", QStringLiteral("Platba"), &Payments}};
}

int CViewCover::SearchColumnOf(int listColumn) const {
    // By list column: name, material, (weight: none), type, origin, payment,
    // reusable.
    static const int byList[] = {0, 1, -1, 3, 4, 5, 2};
    return listColumn >= 0 && listColumn < 7 ? byList[listColumn] : -1;
}

void CViewCover::LoadMainList(RecordId selectId) {
    RecordList* list = m_main.list;
    const RecordId keep = selectId != NoId ? selectId : SelectedId(list);
    FillSorted(
        list,
        [&](ListSort sort, IdList& ids) { return LoadCoverIds(Store(), m_filter, sort, ids); },
        keep);
    SetPaneEnabled(1, list->SelectedCount() <= 1);
    LoadDiscards();
}

RecordId CViewCover::SingleSelectedCover() const {
    if (m_main.list->SelectedCount() != 1)
        return NoId;
    return SelectedId(m_main.list);
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
    RecordList* list = DiscardList();
    const RecordId keep = SelectedId(list);
    m_discardsCover = SingleSelectedCover();
    if (m_discardsCover == NoId) {
        list->Model()->Clear();
        list->ShowSortArrow();
        return;
    }
    FillSorted(
        list,
        [&](ListSort sort, IdList& ids) {
            return LoadDiscardIds(Store(), m_discardsCover, sort, ids);
        },
        keep);
}

void CViewCover::OnSubHeaderClicked(int, int column) {
    DiscardList()->ClickSort(column);
    LoadDiscards();
}

void CViewCover::AddCover() {
    CDlgCover dialog(Context(), {}, {}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<RecordId> id = m_covers.Add(dialog.Record(), dialog.Classification()))
        LoadMainList(*id);
}

void CViewCover::EditCover() {
    RecordList* list = m_main.list;
    const int row = list->FocusedRow();
    if (row < 0) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    const RecordId id = list->Model()->Id(row);
    const std::optional<CoverRecord> cover = ReadRow(list, row, m_covers.Read(id));
    if (!cover)
        return;
    const std::optional<std::optional<CoverClassification>> classification =
        ReadRow(list, row, m_covers.ReadClassification(id));
    if (!classification)
        return;
    CDlgCover dialog(Context(), *cover, *classification, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AfterWrite(list, row, m_covers.Update(id, dialog.Record(), dialog.Classification()),
               [this] { LoadMainList(); });
}

void CViewCover::DeleteCovers() {
    if (m_covers.DeleteSelection(SelectedMainIds()) != Outcome::Unchanged)
        LoadMainList();
}

void CViewCover::RestoreCovers() {
    if (m_covers.RestoreSelection(SelectedMainIds()) != Outcome::Unchanged)
        LoadMainList();
}

void CViewCover::ProposeClassifications() {
    // The register tells the summary (or the empty selection) itself.
    if (m_covers.ProposeClassifications(SelectedMainIds()))
        LoadMainList();
}

void CViewCover::RunFilter() {
    CDlgFilterCover dialog(Context(), m_filter, this);
    RunFilterDialog(dialog, m_filter);
}

void CViewCover::ShowIncompleteCovers() {
    m_filter = CoverFilter{};
    m_filter.onlyIncomplete = true;
    LoadMainList();
    SetFilterActive(true);
}

bool CViewCover::RunDiscardPage(DiscardRecord& discard, int& destination) {
    Wizard wizard(this, Context().showHelp);
    auto* page = new CPageDisc(Context(), discard, destination);
    wizard.AddPage(page, help::Discard);
    if (!wizard.Run())
        return false;
    discard = page->Record();
    destination = page->Destination();
    return true;
}

void CViewCover::AddDiscard() {
    DiscardRecord discard;
    discard.cover = SelectedId(m_main.list);
    if (discard.cover == NoId) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    discard.date = OleDate::Now();
    int destination = -1;
    if (RunDiscardPage(discard, destination))
        m_covers.AddDiscard(discard, destination);
    LoadDiscards();
}

std::optional<int> CViewCover::SelectedDiscardRow() {
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
    RecordList* list = DiscardList();
    const RecordId id = list->Model()->Id(*selected);
    // The page is made only for a record that is there.
    std::optional<DiscardRecord> discard = ReadRow(list, *selected, m_covers.ReadDiscard(id));
    if (!discard)
        return;
    std::optional<int> destination = ReadRow(list, *selected, m_covers.ReadDiscardDestination(id));
    if (!destination || !RunDiscardPage(*discard, *destination))
        return;
    if (m_covers.UpdateDiscard(id, *discard, *destination) == Outcome::Vanished)
        RemoveRow(list, *selected);
    else
        LoadDiscards();
}

void CViewCover::DeleteDiscard() {
    const std::optional<int> selected = SelectedDiscardRow();
    if (!selected)
        return;
    ListModel* model = DiscardList()->Model();
    const Outcome outcome = m_covers.DeleteDiscard(model->Id(*selected));
    if (outcome == Outcome::Done || outcome == Outcome::Vanished)
        model->RemoveRow(*selected);
}

} // namespace tarvo
