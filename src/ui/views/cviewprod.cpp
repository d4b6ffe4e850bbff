#include "ui/views/cviewprod.h"

#include "core/data/profile.h"
#include "core/ports/messageport.h"
#include "core/ports/progressport.h"
#include "core/registers/productrows.h"
#include "core/registers/propagationswitches.h"
#include "ui/dialogs/cdlgfilterprod.h"
#include "ui/dialogs/cdlgprod.h"
#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commandids.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/cpagedaterange.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <memory>

namespace tarvo {

namespace {

// The height of the validity-date list: a handful of dates, the lines below
// get the rest.
constexpr int DateListHeight = 110;

// The progress window of a re-derivation shows only when the run takes long
// enough to be noticed: most products have a few dispatch lines, and a
// window flashing up after every change of packaging would only disturb.
constexpr int RederiveDelayMs = 400;

DeferredProgressWnd RederiveProgress(QWidget* owner) {
    return DeferredProgressWnd(QStringLiteral("Úprava vydaných obalů"), false, owner,
                               RederiveDelayMs);
}

ListModel* Model(const GuiContext& context, std::unique_ptr<IRowSource> rows) {
    return new ListModel(context.messages, std::move(rows));
}

// What the packaging-line wizard chose.
LineChoice ChoiceOf(const CPageCover& cover, const CPageCoverProd& page) {
    LineChoice choice;
    if (cover.Choice().composite)
        choice.compositeId = cover.Choice().id;
    else
        choice.line = page.Record();
    return choice;
}

NewDefinition StartOf(bool copyPrevious) {
    return copyPrevious ? NewDefinition::CopyPrevious : NewDefinition::Empty;
}

// The wizard of a new packaging line: the cover picker (composite covers
// offered) and the line's data.
struct LineWizard {
    LineWizard(QWidget* parent, const GuiContext& context) : wizard(parent, context.showHelp) {
        cover = new CPageCover(context, true);
        line = new CPageCoverProd(context);
        cover->Link(line);
    }
    void AddPages() {
        wizard.AddPage(cover, help::CoverPicker);
        wizard.AddPage(line, help::CoverPicker);
    }

    Wizard wizard;
    CPageCover* cover;
    CPageCoverProd* line;
};

} // namespace

CViewProd::CViewProd(const GuiContext& context, QWidget* parent) : TableView(context, parent) {
    BuildMainPane(QStringLiteral("Produkty"),
                  new RecordList(Model(context, MakeProductRows(context.store)), true, this));
    m_main.list->SetSort(1, false);
    SetPaneMenu(0, RecordMenu::Products);
    AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, QStringLiteral("Balení"),
               new RecordList(Model(context, MakeDefinitionRows(context.store)), false, this));
    // The dates are always oldest first.
    DateList()->SetSortable(false);
    AddSubPane(cmd::Add3, cmd::Edit3, cmd::Delete3, QStringLiteral("Obaly"),
               new RecordList(Model(context, MakePackagingLineRows(context.store)), false, this));
    SetFirstSubListHeight(DateListHeight);
    // The packaging belongs to one product: the right pane's commands wait
    // while several products are selected.
    const auto rightPane = [this] { return RightPaneEnabled(); };
    AddCommands({{cmd::Add, [this] { AddProduct(); }},
                 {cmd::Edit, [this] { EditProduct(); }},
                 {cmd::Delete, [this] { DeleteProducts(); }},
                 {cmd::Undelete, [this] { RestoreProducts(); }},
                 {cmd::Filter, [this] { RunFilter(); }},
                 {cmd::AssignCovers, [this] { AssignCovers(); }},
                 {cmd::Add2, [this] { AddDefinition(); }, rightPane},
                 {cmd::Edit2, [this] { EditDefinition(); }, rightPane},
                 {cmd::Delete2, [this] { DeleteDefinition(); }, rightPane},
                 {cmd::Add3, [this] { AddLine(); }, rightPane},
                 {cmd::Edit3, [this] { EditLine(); }, rightPane},
                 {cmd::Delete3, [this] { DeleteLine(); }, rightPane}});
}

ProductRegister CViewProd::Register(IProgressPort& progress) {
    return ProductRegister(Store(), Context().switches, OtherViews(), progress);
}

void CViewProd::OnNotify(ViewNotification what) {
    switch (what) {
    case ViewNotification::ReloadMain:
        LoadMainList();
        break;
    case ViewNotification::ReloadCovers:
        LoadLines(SelectedId(LineList()));
        break;
    default:
        TableView::OnNotify(what);
        break;
    }
}

std::vector<SearchColumn> CViewProd::SearchColumns() const {
    return {{"prod_name", QStringLiteral("Název")},
            {"prod_katalog", QStringLiteral("Kat. č.")},
            {"prod_unit", QStringLiteral("Jednotka")}};
}

int CViewProd::SearchColumnOf(int listColumn) const {
    // By list column: (ID: none), name, catalogue number, unit.
    return listColumn >= 1 && listColumn <= 3 ? listColumn - 1 : -1;
}

int CViewProd::DefaultRightPaneWidth() const {
    const RecordList* lines = SubList(2);
    const int needed = lines->horizontalHeader()->length() +
                       lines->verticalScrollBar()->sizeHint().width() + 2 * lines->frameWidth() +
                       Margin + BarGap;
    return std::clamp(needed, RightPaneWidth, std::max(RightPaneWidth, width() / 2));
}

void CViewProd::LoadMainList(RecordId selectId) {
    RecordList* list = m_main.list;
    const RecordId keep = selectId != NoId ? selectId : SelectedId(list);
    FillSorted(
        list,
        [&](ListSort sort, IdList& ids) { return LoadProductIds(Store(), m_filter, sort, ids); },
        keep);
    UpdateRightPane();
    LoadDates();
}

RecordId CViewProd::SingleProduct() const {
    return m_main.list->SelectedCount() == 1 ? SelectedId(m_main.list) : NoId;
}

bool CViewProd::RightPaneEnabled() const {
    return DateList()->isEnabled();
}

void CViewProd::UpdateRightPane() {
    // The packaging belongs to one product: with several selected both
    // lists and their buttons are disabled, showing what they showed last.
    const bool enabled = m_main.list->SelectedCount() < 2;
    SetPaneEnabled(1, enabled);
    SetPaneEnabled(2, enabled);
}

void CViewProd::OnMainSelectionChanged(bool) {
    UpdateRightPane();
    // Whenever the one product shown changes: also when a click on one of
    // several selected products leaves it alone selected, which changes the
    // state of the others only.
    if (SingleProduct() != m_datesProduct)
        LoadDates();
}

void CViewProd::OnSubSelectionChanged(int pane, bool becameSelected) {
    if (pane != 1)
        return;
    LineList()->Model()->Clear();
    if (becameSelected)
        LoadLines();
}

void CViewProd::OnSubHeaderClicked(int pane, int column) {
    if (pane != 2)
        return;
    LineList()->ClickSort(column);
    LoadLines(SelectedId(LineList()));
}

void CViewProd::LoadDates() {
    RecordList* list = DateList();
    const RecordId product = SingleProduct();
    m_datesProduct = product;
    if (product == NoId) {
        list->Model()->Clear();
    } else {
        // The newest definition is the one a person works on: the last row.
        FillList(
            list,
            [&] {
                return list->Model()->Load(
                    [&](IdList& ids) { return LoadDefinitionIds(Store(), product, ids); });
            },
            NoId, Fallback::LastRow);
    }
    LoadLines();
}

void CViewProd::LoadLines(RecordId selectId) {
    RecordList* list = LineList();
    const RecordId definition = SelectedId(DateList());
    if (definition == NoId) {
        list->Model()->Clear();
        list->ShowSortArrow();
        return;
    }
    FillSorted(
        list,
        [&](ListSort sort, IdList& ids) {
            return LoadPackagingLineIds(Store(), definition, sort, ids);
        },
        selectId);
}

int CViewProd::SelectedRow(const RecordList* list) {
    const std::vector<int> rows = list->SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

// Products

void CViewProd::AddProduct() {
    CDlgProd dialog(Context(), {}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    NullProgress progress;
    if (const std::optional<RecordId> id = Register(progress).Add(dialog.Record()))
        LoadMainList(*id);
}

void CViewProd::EditProduct() {
    RecordList* list = m_main.list;
    const int row = list->FocusedRow();
    const RecordId id = row < 0 ? NoId : list->Model()->Id(row);
    NullProgress progress;
    ProductRegister reg = Register(progress);
    const std::optional<ProductRecord> product = ReadRow(list, row, reg.Read(id));
    if (!product)
        return;
    CDlgProd dialog(Context(), *product, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AfterWrite(list, row, reg.Update(id, dialog.Record()), [this] { LoadMainList(); });
}

void CViewProd::DeleteProducts() {
    NullProgress progress;
    if (Register(progress).DeleteSelection(SelectedMainIds()) == Outcome::Done)
        LoadMainList();
}

void CViewProd::RestoreProducts() {
    NullProgress progress;
    if (Register(progress).RestoreSelection(SelectedMainIds()) == Outcome::Done)
        LoadMainList();
}

void CViewProd::RunFilter() {
    CDlgFilterProd dialog(Context(), m_filter, this);
    RunFilterDialog(dialog, m_filter);
}

void CViewProd::AssignCovers() {
    const std::vector<RecordId> products = SelectedMainIds();
    std::optional<AssignSummary> summary;
    {
        DeferredProgressWnd progress = RederiveProgress(this);
        ProductRegister reg = Register(progress);
        if (!reg.CheckSelected(products.empty() ? NoId : products.front(), Missing::Product))
            return;
        Profile settings(Context().folder.SettingsPath());
        auto* date = new CPageDateRange(Context().messages, OleDate::Now(),
                                        ReadCopyPreviousPackaging(settings));
        date->ShowProductCount(products.size());
        LineWizard wizard(this, Context());
        wizard.wizard.AddPage(date, help::Packaging);
        wizard.AddPages();
        if (!wizard.wizard.Run())
            return;
        WriteCopyPreviousPackaging(settings, date->CopyPrevious());
        summary =
            reg.AssignToProducts(products, date->Date(), ChoiceOf(*wizard.cover, *wizard.line),
                                 StartOf(date->CopyPrevious()));
    }
    if (!summary)
        return;
    // Told once the progress window is gone.
    Messages().ShowMessage(summary->Text(), MsgIcon::Information);
    LoadDates(); // a new definition may have been made
}

// Definitions

void CViewProd::AddDefinition() {
    const RecordId product = SelectedId(m_main.list);
    DeferredProgressWnd progress = RederiveProgress(this);
    ProductRegister reg = Register(progress);
    if (!reg.CheckSelected(product, Missing::Product))
        return;
    Profile settings(Context().folder.SettingsPath());
    CDlgValidFrom dialog(Context(), {product, OleDate::Now()}, ReadCopyPreviousPackaging(settings),
                         this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    WriteCopyPreviousPackaging(settings, dialog.CopyPrevious());
    if (reg.AddDefinition(product, dialog.Record().from, StartOf(dialog.CopyPrevious())) ==
        Outcome::Done)
        LoadDates();
}

void CViewProd::EditDefinition() {
    RecordList* list = DateList();
    const int row = SelectedRow(list);
    const RecordId id = SelectedId(list);
    DeferredProgressWnd progress = RederiveProgress(this);
    ProductRegister reg = Register(progress);
    const std::optional<DefinitionRecord> definition = ReadRow(list, row, reg.ReadDefinition(id));
    if (!definition)
        return;
    CDlgValidFrom dialog(Context(), *definition, std::nullopt, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AfterWrite(list, row, reg.ChangeDefinitionDate(id, dialog.Record().from),
               [this] { LoadDates(); });
}

void CViewProd::DeleteDefinition() {
    RecordList* list = DateList();
    const int row = SelectedRow(list);
    DeferredProgressWnd progress = RederiveProgress(this);
    const Outcome outcome = Register(progress).DeleteDefinition(SelectedId(list));
    if (outcome == Outcome::Done || outcome == Outcome::Vanished) {
        RemoveRow(list, row);
        LoadLines();
    }
}

// Lines

void CViewProd::AddLine() {
    const RecordId definition = SelectedId(DateList());
    DeferredProgressWnd progress = RederiveProgress(this);
    ProductRegister reg = Register(progress);
    if (!reg.CheckSelected(definition, Missing::Date))
        return;
    LineWizard wizard(this, Context());
    wizard.AddPages();
    if (!wizard.wizard.Run())
        return;
    if (reg.AddLines(definition, ChoiceOf(*wizard.cover, *wizard.line)) == Outcome::Done)
        LoadLines();
}

void CViewProd::EditLine() {
    RecordList* list = LineList();
    const int row = SelectedRow(list);
    const RecordId id = SelectedId(list);
    DeferredProgressWnd progress = RederiveProgress(this);
    ProductRegister reg = Register(progress);
    const std::optional<CoverLine> line = ReadRow(list, row, reg.ReadLine(id));
    if (!line)
        return;
    Wizard wizard(this, Context().showHelp);
    auto* page = new CPageCoverProd(Context(), *line);
    wizard.AddPage(page, help::CoverPicker);
    if (!wizard.Run())
        return;
    AfterWrite(list, row, reg.UpdateLine(id, page->Record()), [this, id] { LoadLines(id); });
}

void CViewProd::DeleteLine() {
    RecordList* list = LineList();
    const int row = SelectedRow(list);
    DeferredProgressWnd progress = RederiveProgress(this);
    const Outcome outcome = Register(progress).DeleteLine(SelectedId(list));
    if (outcome == Outcome::Done || outcome == Outcome::Vanished)
        RemoveRow(list, row);
}

} // namespace tarvo
