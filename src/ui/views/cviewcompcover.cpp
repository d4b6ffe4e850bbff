#include "ui/views/cviewcompcover.h"

#include "core/ports/messageport.h"
#include "core/registers/compcoverrows.h"
#include "ui/dialogs/cdlgfiltercompcover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecoverprod.h"

namespace tarvo {

namespace {
constexpr const char* NoCover = "Není vybrán obal!";
} // namespace

CoverItemEditor CoverItemWizard(const GuiContext& context) {
    return [&context](QWidget* parent,
                      const std::optional<CoverLine>& line) -> std::optional<CoverLine> {
        Wizard wizard(parent, context.showHelp);
        auto* linePage = new CPageCoverProd(context, line.value_or(CoverLine{}));
        if (!line) {
            auto* coverPage = new CPageCover(context, false);
            coverPage->Link(linePage);
            wizard.AddPage(coverPage, help::CoverPicker);
        }
        wizard.AddPage(linePage, help::CoverPicker);
        if (!wizard.Run())
            return std::nullopt;
        return linePage->Record();
    };
}

CViewCompCover::CViewCompCover(const GuiContext& context, QWidget* parent)
    : TableView(context, parent), m_compCovers(context.store) {
    BuildMainPane(
        QStringLiteral("Složené obaly"),
        new RecordList(new ListModel(Messages(), MakeCompCoverRows(Store())), true, this));
    AddCommands({{cmd::Add, [this] { AddCompCover(); }},
                 {cmd::Edit, [this] { EditCompCover(); }},
                 {cmd::Delete, [this] { DeleteCompCovers(); }},
                 {cmd::Filter, [this] { RunFilter(); }}});
}

std::vector<SearchColumn> CViewCompCover::SearchColumns() const {
    return {{"ccover_name", QStringLiteral("Název")}, {"ccover_note", QStringLiteral("Poznámka")}};
}

int CViewCompCover::SearchColumnOf(int listColumn) const {
    return listColumn == 0 || listColumn == 1 ? listColumn : -1;
}

void CViewCompCover::LoadMainList(RecordId selectId) {
    RecordList* list = m_main.list;
    const RecordId keep = selectId != NoId ? selectId : SelectedId(list);
    FillSorted(
        list,
        [&](ListSort sort, IdList& ids) { return LoadCompCoverIds(Store(), m_filter, sort, ids); },
        keep);
}

void CViewCompCover::AddCompCover() {
    CDlgCompCover dialog(Context(), CoverItemWizard(Context()), NoRecord, {}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The list keeps the row selected before: the new composite cover is not
    // selected for the user.
    if (m_compCovers.Add(dialog.Record()))
        LoadMainList();
}

void CViewCompCover::EditCompCover() {
    RecordList* list = m_main.list;
    const int row = list->FocusedRow();
    if (row < 0) {
        Messages().ShowMessage(NoCover, MsgIcon::Exclamation);
        return;
    }
    const RecordId id = list->Model()->Id(row);
    const std::optional<CompCoverRecord> compCover = ReadRow(list, row, m_compCovers.Read(id));
    if (!compCover)
        return;
    CDlgCompCover dialog(Context(), CoverItemWizard(Context()), id, *compCover, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AfterWrite(list, row, m_compCovers.Update(id, dialog.Record()), [this] { LoadMainList(); });
}

void CViewCompCover::DeleteCompCovers() {
    if (m_compCovers.DeleteSelection(SelectedMainIds()) != Outcome::Unchanged)
        LoadMainList();
}

void CViewCompCover::RunFilter() {
    CDlgFilterCompCover dialog(Context(), m_filter, this);
    RunFilterDialog(dialog, m_filter);
}

} // namespace tarvo
