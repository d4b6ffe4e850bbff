#include "ui/views/cviewprod.h"

#include "core/ports/messageport.h"
#include "core/ports/progressport.h"
#include "core/registers/productrows.h"
#include "support/cprogresswnd.h"
#include "ui/dialogs/cdlgfilterprod.h"
#include "ui/dialogs/cdlgprod.h"
#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/clistmodel.h"
#include "ui/framework/commandids.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/guicontext.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/cpagedaterange.h"
#include "ui/pages/wizard.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace tarvo {

namespace {

// The height of the validity-date list: a handful of dates, the lines below
// get the rest.
constexpr int DateListHeight = 110;

// The progress window of a re-derivation, shown only when the run takes long
// enough to be noticed: most products have a few dispatch lines, and a
// window flashing up after every change of packaging would only disturb.
class CDeferredProgress final : public IProgressPort {
public:
    static constexpr int DelayMs = 400;

    explicit CDeferredProgress(QWidget* owner) : m_owner(owner) { m_clock.start(); }
    ~CDeferredProgress() override {
        if (m_window)
            m_window->Destroy();
    }
    CDeferredProgress(const CDeferredProgress&) = delete;
    CDeferredProgress& operator=(const CDeferredProgress&) = delete;

    void SetRange(int lower, int upper) override {
        m_lower = lower;
        m_upper = upper;
        if (m_window)
            m_window->SetRange(lower, upper);
    }
    void SetStatus(const std::string& text) override {
        m_status = text;
        if (m_window)
            m_window->SetStatus(text);
    }
    void SetSecondaryStatus(const std::string& text) override {
        if (m_window)
            m_window->SetSecondaryStatus(text);
    }
    void SetPos(int pos) override {
        if (!m_window && m_clock.elapsed() >= DelayMs) {
            m_window =
                std::make_unique<CProgressWnd>(QStringLiteral("Úprava vydaných obalů"), false);
            m_window->Create(m_owner);
            m_window->SetRange(m_lower, m_upper);
            m_window->SetStatus(m_status);
        }
        if (m_window)
            m_window->SetPos(pos);
    }
    // The change is one unit: it cannot stop halfway.
    bool CheckCancel() override { return false; }

private:
    QWidget* m_owner;
    QElapsedTimer m_clock;
    std::unique_ptr<CProgressWnd> m_window;
    int m_lower = 0;
    int m_upper = 100;
    std::string m_status;
};

CListModel* Model(const GuiContext& context, std::unique_ptr<IRowSource> rows) {
    return new CListModel(context.messages, std::move(rows));
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

// The wizard of a new packaging line: the cover picker (composite covers
// offered) and the line's data.
struct LineWizard {
    LineWizard(QWidget* parent, const GuiContext& context) : wizard(parent) {
        cover = new CPageCover(context, true);
        line = new CPageCoverProd(context);
        cover->Link(line);
    }
    void AddPages() {
        wizard.AddPage(cover);
        wizard.AddPage(line);
    }

    CWizard wizard;
    CPageCover* cover;
    CPageCoverProd* line;
};

} // namespace

CViewProd::CViewProd(const GuiContext& context, QWidget* parent) : CTableView(context, parent) {
    BuildMainPane(QStringLiteral("Produkty"),
                  new CRecordList(Model(context, MakeProductRows(context.store)), true, this));
    m_main.list->SetSort(1, false);
    SetPaneMenu(0, RecordMenu::Products);
    AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, QStringLiteral("Balení"),
               new CRecordList(Model(context, MakeDefinitionRows(context.store)), false, this));
    // The dates are always oldest first.
    DateList()->SetSortable(false);
    AddSubPane(cmd::Add3, cmd::Edit3, cmd::Delete3, QString(),
               new CRecordList(Model(context, MakePackagingLineRows(context.store)), false, this));
    SetFirstSubListHeight(DateListHeight);
}

ProductRegister CViewProd::Register(IProgressPort& progress) const {
    return ProductRegister(Store(), Context().switches, Context().notifier, progress);
}

std::vector<int> CViewProd::HandledCommands() const {
    std::vector<int> commands = CTableView::HandledCommands();
    commands.insert(commands.end(), {cmd::AssignCovers, cmd::Add2, cmd::Edit2, cmd::Delete2,
                                     cmd::Add3, cmd::Edit3, cmd::Delete3});
    return commands;
}

bool CViewProd::IsCommandEnabled(int command) const {
    switch (command) {
    case cmd::Add2:
    case cmd::Edit2:
    case cmd::Delete2:
    case cmd::Add3:
    case cmd::Edit3:
    case cmd::Delete3:
        return RightPaneEnabled();
    default:
        return CTableView::IsCommandEnabled(command);
    }
}

bool CViewProd::OnCommand(int command) {
    // The right pane's commands do nothing while several products are
    // selected, whichever way they come.
    const bool rightPane = command == cmd::Add2 || command == cmd::Edit2 ||
                           command == cmd::Delete2 || command == cmd::Add3 ||
                           command == cmd::Edit3 || command == cmd::Delete3;
    if (rightPane && !RightPaneEnabled())
        return true;
    switch (command) {
    case cmd::Add:
        AddProduct();
        return true;
    case cmd::Edit:
        EditProduct();
        return true;
    case cmd::Delete:
        DeleteProducts();
        return true;
    case cmd::Filter:
        RunFilter();
        return true;
    case cmd::AssignCovers:
        AssignCovers();
        return true;
    case cmd::Add2:
        AddDefinition();
        return true;
    case cmd::Edit2:
        EditDefinition();
        return true;
    case cmd::Delete2:
        DeleteDefinition();
        return true;
    case cmd::Add3:
        AddLine();
        return true;
    case cmd::Edit3:
        EditLine();
        return true;
    case cmd::Delete3:
        DeleteLine();
        return true;
    default:
        return CTableView::OnCommand(command);
    }
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
        CTableView::OnNotify(what);
        break;
    }
}

std::vector<SearchColumn> CViewProd::SearchColumns() const {
    return {{"prod_name", QStringLiteral("Název")},
            {"prod_katalog", QStringLiteral("Kat. č.")},
            {"prod_unit", QStringLiteral("Jednotka")}};
}

int CViewProd::SearchColumnOfSort() const {
    // By list column: (ID: none), name, catalogue number, unit.
    const int column = m_main.list->SortColumn();
    return column >= 1 && column <= 3 ? column - 1 : -1;
}

void CViewProd::LoadMainList(RecordId selectId) {
    CRecordList* list = m_main.list;
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

std::vector<RecordId> CViewProd::SelectedProducts() const {
    std::vector<int> rows = m_main.list->SelectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<RecordId> ids;
    ids.reserve(rows.size());
    for (int row : rows)
        ids.push_back(m_main.list->Model()->Id(row));
    return ids;
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
    CRecordList* list = DateList();
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
    CRecordList* list = LineList();
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

void CViewProd::RemoveVanished(CRecordList* list, RecordId id) {
    const int row = list->Model()->RowOf(id);
    if (row >= 0)
        list->Model()->RemoveRow(row);
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
    CRecordList* list = m_main.list;
    const int row = list->FocusedRow();
    const RecordId id = row < 0 ? NoId : list->Model()->Id(row);
    NullProgress progress;
    ProductRegister reg = Register(progress);
    const ReadResult<ProductRecord> product = reg.Read(id);
    if (product.outcome == Outcome::Vanished)
        RemoveVanished(list, id);
    if (!product)
        return;
    CDlgProd dialog(Context(), *product, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    switch (reg.Update(id, dialog.Record())) {
    case Outcome::Vanished:
        RemoveVanished(list, id);
        break;
    case Outcome::Done:
        LoadMainList();
        break;
    default:
        break;
    }
}

void CViewProd::DeleteProducts() {
    NullProgress progress;
    if (Register(progress).DeleteSelection(SelectedProducts()) == Outcome::Done)
        LoadMainList();
}

void CViewProd::RunFilter() {
    FilterButton()->SetHeldPressed(true);
    CDlgFilterProd dialog(Context(), m_filter, this);
    if (dialog.exec() == QDialog::Accepted) {
        m_filter = dialog.Record();
        LoadMainList();
    }
    SetFilterActive(m_filter.IsActive());
}

void CViewProd::AssignCovers() {
    const std::vector<RecordId> products = SelectedProducts();
    CDeferredProgress progress(this);
    ProductRegister reg = Register(progress);
    if (!reg.CheckSelected(products.empty() ? NoId : products.front(), Missing::Product))
        return;
    auto* date = new CPageDateRange();
    LineWizard wizard(this, Context());
    wizard.wizard.AddPage(date);
    wizard.AddPages();
    if (!wizard.wizard.Run())
        return;
    if (reg.AssignToProducts(products, date->Date(), ChoiceOf(*wizard.cover, *wizard.line)) ==
        Outcome::Done)
        LoadDates(); // a new definition may have been made
}

// Definitions

void CViewProd::AddDefinition() {
    const RecordId product = SelectedId(m_main.list);
    CDeferredProgress progress(this);
    ProductRegister reg = Register(progress);
    if (!reg.CheckSelected(product, Missing::Product))
        return;
    CDlgValidFrom dialog({product, OleDate::Now()}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (reg.AddDefinition(product, dialog.Record().from) == Outcome::Done)
        LoadDates();
}

void CViewProd::EditDefinition() {
    const RecordId id = SelectedId(DateList());
    CDeferredProgress progress(this);
    ProductRegister reg = Register(progress);
    const ReadResult<DefinitionRecord> definition = reg.ReadDefinition(id);
    if (definition.outcome == Outcome::Vanished)
        RemoveVanished(DateList(), id);
    if (!definition)
        return;
    CDlgValidFrom dialog(*definition, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    switch (reg.ChangeDefinitionDate(id, dialog.Record().from)) {
    case Outcome::Vanished:
        RemoveVanished(DateList(), id);
        break;
    case Outcome::Done:
        LoadDates();
        break;
    default:
        break;
    }
}

void CViewProd::DeleteDefinition() {
    const RecordId id = SelectedId(DateList());
    CDeferredProgress progress(this);
    const Outcome outcome = Register(progress).DeleteDefinition(id);
    if (outcome == Outcome::Done || outcome == Outcome::Vanished) {
        RemoveVanished(DateList(), id);
        LoadLines();
    }
}

// Lines

void CViewProd::AddLine() {
    const RecordId definition = SelectedId(DateList());
    CDeferredProgress progress(this);
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
    const RecordId id = SelectedId(LineList());
    CDeferredProgress progress(this);
    ProductRegister reg = Register(progress);
    const ReadResult<CoverLine> line = reg.ReadLine(id);
    if (line.outcome == Outcome::Vanished)
        RemoveVanished(LineList(), id);
    if (!line)
        return;
    CWizard wizard(this);
    auto* page = new CPageCoverProd(Context(), *line);
    wizard.AddPage(page);
    if (!wizard.Run())
        return;
    switch (reg.UpdateLine(id, page->Record())) {
    case Outcome::Vanished:
        RemoveVanished(LineList(), id);
        break;
    case Outcome::Done:
        LoadLines(id);
        break;
    default:
        break;
    }
}

void CViewProd::DeleteLine() {
    const RecordId id = SelectedId(LineList());
    CDeferredProgress progress(this);
    const Outcome outcome = Register(progress).DeleteLine(id);
    if (outcome == Outcome::Done || outcome == Outcome::Vanished)
        RemoveVanished(LineList(), id);
}

} // namespace tarvo
