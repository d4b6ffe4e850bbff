#include "ui/views/cviewmove.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "core/registers/moverows.h"
#include "ui/dialogs/cdlgfiltermove.h"
#include "ui/dialogs/cdlgmove.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commandids.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/icons.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecovermove.h"
#include "ui/pages/cpageprod.h"
#include "ui/pages/cpageqty.h"

namespace tarvo {

namespace {

constexpr const char* NoDispatch = "Není vybrán doklad!";
constexpr const char* NoLine = "Není vybrán produkt!";
constexpr const char* NoCover = "Není vybrán obal!";

constexpr int LinesPane = 1;
constexpr int CoversPane = 2;

RecordList* MakeList(const GuiContext& context, std::unique_ptr<IRowSource> rows, bool multiSelect,
                     QWidget* parent) {
    return new RecordList(new ListModel(context.messages, std::move(rows)), multiSelect, parent);
}

// The cover list's column "Produkt".
constexpr int CoverProductColumn = 7;

} // namespace

CViewMove::CViewMove(const GuiContext& context, QWidget* parent)
    : TableView(context, parent), m_register(context.store) {
    CDataStore& store = context.store;
    BuildMainPane(QStringLiteral("Výdeje"), MakeList(context, MakeMoveRows(store), true, this));
    AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, QStringLiteral("Položky"),
               MakeList(context, MakeMoveLineRows(store), false, this));
    AddSubPane(cmd::Add3, cmd::Edit3, cmd::Delete3, QStringLiteral("Obaly"),
               MakeList(context, MakeMoveCoverRows(store), false, this));
    AddPaneToggle(LinesPane, icons::Toggle(), [this] { ToggleLines(); })->SetHeldPressed(true);
    const auto lines = [this] { return LinesActive(); };
    const auto covers = [this] { return CoversActive(); };
    AddCommands({{cmd::Add, [this] { AddMove(); }},
                 {cmd::Edit, [this] { EditMove(); }},
                 {cmd::Delete, [this] { DeleteMoves(); }},
                 {cmd::Filter, [this] { RunFilter(); }},
                 {cmd::Add2, [this] { AddLine(); }, lines},
                 {cmd::Edit2, [this] { EditLine(); }, lines},
                 {cmd::Delete2, [this] { DeleteLine(); }, lines},
                 // A cover line is added to the selected product line, so the
                 // product lines must be in sight.
                 {cmd::Add3, [this] { AddCoverLine(); }, lines},
                 {cmd::Edit3, [this] { EditCoverLine(); }, covers},
                 {cmd::Delete3, [this] { DeleteCoverLine(); }, covers}});
}

void CViewMove::OnNotify(ViewNotification what) {
    // Imports and changes of covers or packaging elsewhere reach this view
    // also while it is hidden, so it shows them when it comes back.
    switch (what) {
    case ViewNotification::ReloadMain:
        LoadMainList();
        break;
    case ViewNotification::ReloadItems:
        LoadLines();
        break;
    case ViewNotification::ReloadCovers:
        LoadCovers();
        break;
    case ViewNotification::Refresh:
        TableView::OnNotify(what);
        break;
    }
}

std::vector<SearchColumn> CViewMove::SearchColumns() const {
    return {{"move_num", QStringLiteral("Číslo")},
            {"move_export", QStringLiteral("Export"), nullptr, true},
            {"move_type", QStringLiteral("Typ"), &MoveTypes}};
}

int CViewMove::SearchColumnOf(int listColumn) const {
    // By list column: number, (date: none), export, kind.
    static const int byList[] = {0, -1, 1, 2};
    return listColumn >= 0 && listColumn < 4 ? byList[listColumn] : -1;
}

RecordId CViewMove::SingleSelectedMove() const {
    return m_main.list->SelectedCount() == 1 ? SelectedId(m_main.list) : NoId;
}

bool CViewMove::LinesActive() const {
    return m_showLines && LineList()->isEnabled();
}

bool CViewMove::CoversActive() const {
    return CoverList()->isEnabled();
}

bool CViewMove::CanAddInPane(int pane) const {
    if (pane == CoversPane)
        return m_showLines && LineList()->HasSelection();
    return TableView::CanAddInPane(pane);
}

void CViewMove::UpdateEnabling() {
    // The lines belong to one dispatch: with several selected the right
    // pane is disabled. Adding needs the product lines in sight.
    const bool one = m_main.list->SelectedCount() < 2;
    LineList()->setEnabled(one);
    CoverList()->setEnabled(one);
    for (int i = 0; i < 3; ++i)
        PaneButton(LinesPane, i)->setEnabled(one && m_showLines);
    PaneButton(CoversPane, 0)->setEnabled(one && m_showLines);
    PaneButton(CoversPane, 1)->setEnabled(one);
    PaneButton(CoversPane, 2)->setEnabled(one);
}

void CViewMove::LoadMainList(RecordId selectId) {
    RecordList* list = m_main.list;
    const RecordId keep = selectId != NoId ? selectId : SelectedId(list);
    FillSorted(
        list,
        [this](ListSort sort, IdList& ids) { return LoadMoveIds(Store(), m_filter, sort, ids); },
        keep);
    UpdateEnabling();
    LoadLines();
}

void CViewMove::LoadLines() {
    RecordList* list = LineList();
    const RecordId keep = SelectedId(list);
    m_linesMove = SingleSelectedMove();
    const RecordId move = m_linesMove;
    FillSorted(
        list,
        [this, move](ListSort sort, IdList& ids) {
            return move == NoId || LoadMoveLineIds(Store(), move, sort, ids);
        },
        keep);
    LoadCovers();
}

void CViewMove::LoadCovers() {
    RecordList* list = CoverList();
    const RecordId keep = SelectedId(list);
    const RecordId move = SingleSelectedMove();
    const RecordId line = SelectedId(LineList());
    const bool lines = m_showLines;
    // The product tells the covers apart only while every cover of the
    // dispatch is shown; beside the product lines it is the selected one.
    list->setColumnHidden(CoverProductColumn, lines);
    FillSorted(
        list,
        [this, move, line, lines](ListSort sort, IdList& ids) {
            if (move == NoId)
                return true;
            if (!lines)
                return LoadDispatchCoverIds(Store(), move, sort, ids);
            return line == NoId || LoadLineCoverIds(Store(), line, sort, ids);
        },
        keep);
}

void CViewMove::OnMainSelectionChanged(bool) {
    UpdateEnabling();
    // The right pane follows the one selected dispatch, whichever way the
    // selection came to be one (a click, or Ctrl+click taking one away).
    if (SingleSelectedMove() != m_linesMove)
        LoadLines();
}

void CViewMove::OnSubSelectionChanged(int pane, bool) {
    if (pane == LinesPane && m_showLines)
        LoadCovers();
}

void CViewMove::OnSubHeaderClicked(int pane, int column) {
    SubList(pane)->ClickSort(column);
    if (pane == LinesPane)
        LoadLines();
    else
        LoadCovers();
}

void CViewMove::ToggleLines() {
    m_showLines = !m_showLines;
    PaneToggle(LinesPane)->SetHeldPressed(m_showLines);
    UpdateEnabling();
    SetPaneListShown(LinesPane, m_showLines);
    LoadCovers();
}

std::optional<int> CViewMove::SelectedRow(RecordList* list, const char* nothingSelected) {
    const std::vector<int> rows = list->SelectedRows();
    if (rows.empty()) {
        Messages().ShowMessage(nothingSelected, MsgIcon::Exclamation);
        return std::nullopt;
    }
    return rows.front();
}

void CViewMove::RemoveRow(RecordList* list, int row) {
    TableView::RemoveRow(list, row);
    // The covers shown may have been the removed line's.
    if (list == LineList())
        LoadCovers();
}

void CViewMove::AddMove() {
    // A refused number brings the dialog back with what was entered.
    MoveRecord record;
    for (;;) {
        CDlgMove dialog(Context(), record, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        record = dialog.Record();
        const ReadResult<RecordId> added = m_register.Add(record);
        if (added.outcome != Outcome::Refused) {
            if (added)
                LoadMainList(*added);
            return;
        }
    }
}

void CViewMove::EditMove() {
    RecordList* list = m_main.list;
    const int row = list->FocusedRow();
    if (row < 0) {
        Messages().ShowMessage(NoDispatch, MsgIcon::Exclamation);
        return;
    }
    const RecordId id = list->Model()->Id(row);
    const std::optional<MoveRecord> move = ReadRow(list, row, m_register.Read(id));
    if (!move)
        return;
    MoveRecord record = *move;
    Outcome outcome = Outcome::Refused;
    while (outcome == Outcome::Refused) {
        CDlgMove dialog(Context(), record, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        record = dialog.Record();
        outcome = m_register.Update(id, record);
    }
    AfterWrite(list, row, outcome, [this] { LoadMainList(); });
}

void CViewMove::DeleteMoves() {
    if (m_register.DeleteSelection(SelectedMainIds()) == Outcome::Done)
        LoadMainList();
}

void CViewMove::RunFilter() {
    CDlgFilterMove dialog(Context(), m_filter, this);
    RunFilterDialog(dialog, m_filter);
}

void CViewMove::AddLine() {
    const RecordId move = SingleSelectedMove();
    if (move == NoId) {
        Messages().ShowMessage(NoDispatch, MsgIcon::Exclamation);
        return;
    }
    Wizard wizard(this, Context().showHelp);
    auto* product = new CPageProd(Context());
    auto* quantity = new CPageQty(Context());
    product->Link(quantity);
    wizard.AddPage(product, help::DispatchItems);
    wizard.AddPage(quantity, help::DispatchItems);
    if (!wizard.Run())
        return;
    if (m_register.AddLine(move, product->Product(), quantity->Record().quantity))
        LoadLines();
}

void CViewMove::EditLine() {
    RecordList* list = LineList();
    const std::optional<int> row = SelectedRow(list, NoLine);
    if (!row)
        return;
    const RecordId id = list->Model()->Id(*row);
    const std::optional<MoveLineRecord> line = ReadRow(list, *row, m_register.ReadLine(id));
    if (!line)
        return;
    Wizard wizard(this, Context().showHelp);
    auto* quantity = new CPageQty(Context(), *line);
    wizard.AddPage(quantity, help::DispatchItems);
    if (!wizard.Run())
        return;
    AfterWrite(list, *row, m_register.UpdateLineQuantity(id, quantity->Record().quantity),
               [this] { LoadLines(); });
}

void CViewMove::DeleteLine() {
    RecordList* list = LineList();
    const std::optional<int> row = SelectedRow(list, NoLine);
    if (!row)
        return;
    AfterWrite(list, *row, m_register.DeleteLine(list->Model()->Id(*row)), [this] { LoadLines(); });
}

void CViewMove::AddCoverLine() {
    RecordList* lines = LineList();
    const std::optional<int> row = SelectedRow(lines, NoLine);
    if (!row)
        return;
    Wizard wizard(this, Context().showHelp);
    auto* cover = new CPageCover(Context(), false);
    auto* values = new CPageCoverMove(Context());
    cover->Link(values);
    wizard.AddPage(cover, help::DispatchItems);
    wizard.AddPage(values, help::DispatchItems);
    if (!wizard.Run())
        return;
    AfterWrite(lines, *row, m_register.AddCoverLine(lines->Model()->Id(*row), values->Record()),
               [this] { LoadCovers(); });
}

void CViewMove::EditCoverLine() {
    RecordList* list = CoverList();
    const std::optional<int> row = SelectedRow(list, NoCover);
    if (!row)
        return;
    const RecordId id = list->Model()->Id(*row);
    const std::optional<MoveCoverRecord> line = ReadRow(list, *row, m_register.ReadCoverLine(id));
    if (!line)
        return;
    Wizard wizard(this, Context().showHelp);
    auto* page = new CPageCoverMove(Context(), *line);
    wizard.AddPage(page, help::DispatchItems);
    if (!wizard.Run())
        return;
    AfterWrite(list, *row, m_register.UpdateCoverLineQuantity(id, page->Record().quantity),
               [this] { LoadCovers(); });
}

void CViewMove::DeleteCoverLine() {
    RecordList* list = CoverList();
    const std::optional<int> row = SelectedRow(list, NoCover);
    if (!row)
        return;
    const Outcome outcome = m_register.DeleteCoverLine(list->Model()->Id(*row));
    if (outcome == Outcome::Vanished || outcome == Outcome::Done)
        RemoveRow(list, *row);
}

} // namespace tarvo
