#include "ui/framework/tableview.h"

#include "core/data/profile.h"
#include "core/registers/findreplace.h"
#include "ui/framework/ccaptionpanel.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/icons.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/waitcursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <algorithm>

namespace tarvo {

namespace {

// The gap between two sub-panes when the first list has a fixed height.
constexpr int FixedListGap = 2;

} // namespace

TableView::TableView(const GuiContext& context, QWidget* parent)
    : QWidget(parent), m_context(context),
      m_commands({{cmd::Refresh, [this] { LoadMainList(); }}}) {}

TableView::~TableView() = default;

CDataStore& TableView::Store() const {
    return m_context.store;
}

IMessagePort& TableView::Messages() const {
    return m_context.messages;
}

CIconButton* TableView::MakeButton(int command, const QIcon& icon) {
    auto* button = new CIconButton(command, icon, this);
    button->setToolTip(ToolTip(Command(command)));
    connect(button, &QAbstractButton::clicked, this, [this, command] { OnCommand(command); });
    return button;
}

void TableView::BuildMainPane(const QString& caption, RecordList* list) {
    m_main.buttons = {MakeButton(cmd::Add, icons::Add()), MakeButton(cmd::Edit, icons::Edit()),
                      MakeButton(cmd::Delete, icons::Delete()),
                      MakeButton(cmd::Filter, icons::Filter())};
    m_main.caption = new CCaptionPanel(caption, this);
    m_main.list = list;
    list->setParent(this);
    connect(list, &RecordList::headerClicked, this, [this](int column) {
        m_main.list->ClickSort(column);
        LoadMainList();
    });
    connect(list, &RecordList::rowActivated, this, [this](int) { OnCommand(cmd::Edit); });
    connect(list, &RecordList::contextMenuRequested, this,
            [this](int row, const QPoint& pos) { ShowContextMenu(0, row, pos); });
    connect(list, &RecordList::selectionChangedRows, this, [this](bool becameSelected) {
        if (IsLoading())
            return;
        OnMainSelectionChanged(becameSelected);
        UpdateCommandStates();
    });
}

void TableView::AddSubPane(int addCommand, int editCommand, int deleteCommand,
                           const QString& caption, RecordList* list) {
    if (!m_split)
        MakeSplitter();
    Pane pane;
    pane.buttons = {MakeButton(addCommand, icons::Add()), MakeButton(editCommand, icons::Edit()),
                    MakeButton(deleteCommand, icons::Delete())};
    pane.caption = new CCaptionPanel(caption, m_rightSide);
    pane.list = list;
    pane.menu = m_subs.empty() ? RecordMenu::Second : RecordMenu::Third;
    for (CIconButton* button : pane.buttons)
        button->setParent(m_rightSide);
    list->setParent(m_rightSide);
    const int index = static_cast<int>(m_subs.size()) + 1;
    connect(list, &RecordList::headerClicked, this,
            [this, index](int column) { OnSubHeaderClicked(index, column); });
    connect(list, &RecordList::rowActivated, this,
            [this, editCommand](int) { OnCommand(editCommand); });
    connect(list, &RecordList::contextMenuRequested, this,
            [this, index](int row, const QPoint& pos) { ShowContextMenu(index, row, pos); });
    connect(list, &RecordList::selectionChangedRows, this, [this, index](bool becameSelected) {
        if (IsLoading())
            return;
        OnSubSelectionChanged(index, becameSelected);
        UpdateCommandStates();
    });
    m_subs.push_back(pane);
}

void TableView::MakeSplitter() {
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->setHandleWidth(SplitBarWidth);
    // The panes follow the bar when it is dropped, as the rule may move it.
    m_split->setOpaqueResize(false);
    m_split->setChildrenCollapsible(false);
    m_leftSide = new QWidget(m_split);
    m_rightSide = new QWidget(m_split);
    m_split->addWidget(m_leftSide);
    m_split->addWidget(m_rightSide);
    // A wider or narrower view (a maximized window) changes the main list,
    // where the room is needed; the right pane keeps the width it has.
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 0);
    m_leftSide->installEventFilter(this);
    m_rightSide->installEventFilter(this);
    for (CIconButton* button : m_main.buttons)
        button->setParent(m_leftSide);
    m_main.caption->setParent(m_leftSide);
    m_main.list->setParent(m_leftSide);
    connect(m_split, &QSplitter::splitterMoved, this, [this] { ApplyCollapseRule(); });
}

QSplitterHandle* TableView::SplitBar() const {
    return m_split ? m_split->handle(1) : nullptr;
}

void TableView::PlaceSplitBar(int x) {
    if (!m_split)
        return;
    m_split->setSizes({x, m_split->width() - x - SplitBarWidth});
    ApplyCollapseRule();
}

TableView::Pane& TableView::PaneAt(int pane) {
    return pane == 0 ? m_main : m_subs.at(static_cast<size_t>(pane - 1));
}

RecordList* TableView::SubList(int pane) const {
    if (pane < 1 || pane > static_cast<int>(m_subs.size()))
        return nullptr;
    return m_subs[static_cast<size_t>(pane - 1)].list;
}

CIconButton* TableView::FilterButton() const {
    return m_main.buttons.size() > 3 ? m_main.buttons[3] : nullptr;
}

CIconButton* TableView::PaneButton(int pane, int index) const {
    const Pane& p = pane == 0 ? m_main : m_subs.at(static_cast<size_t>(pane - 1));
    return p.buttons.at(static_cast<size_t>(index));
}

CIconButton* TableView::PaneToggle(int pane) const {
    return pane < 1 || pane > static_cast<int>(m_subs.size())
               ? nullptr
               : m_subs[static_cast<size_t>(pane - 1)].toggle;
}

void TableView::SetPaneEnabled(int pane, bool enabled) {
    Pane& p = PaneAt(pane);
    for (CIconButton* button : p.buttons)
        button->setEnabled(enabled);
    p.list->setEnabled(enabled);
}

void TableView::SetPaneMenu(int pane, RecordMenu menu) {
    PaneAt(pane).menu = menu;
}

void TableView::SetFirstSubListHeight(int pixels) {
    m_firstSubListHeight = pixels;
}

CIconButton* TableView::AddPaneToggle(int pane, const QIcon& icon,
                                      const std::function<void()>& onToggle) {
    auto* button = new CIconButton(0, icon, PaneAt(pane).list->parentWidget());
    connect(button, &QAbstractButton::clicked, this, [this, onToggle] {
        onToggle();
        UpdateCommandStates();
    });
    PaneAt(pane).toggle = button;
    return button;
}

void TableView::SetPaneListShown(int pane, bool shown) {
    PaneAt(pane).listShown = shown;
    if (m_initialised)
        Relayout();
}

bool TableView::IsPaneListShown(int pane) const {
    return pane >= 1 && pane <= static_cast<int>(m_subs.size()) &&
           m_subs[static_cast<size_t>(pane - 1)].listShown;
}

void TableView::InitialUpdate() {
    if (m_initialised)
        return;
    m_initialised = true;
    LoadMainList();
    RestoreColumnWidths();
    Relayout();
}

namespace {

// "Sloupce0" the main list, "Sloupce1" and "Sloupce2" the sub-panes'.
std::string ColumnsKey(int pane) {
    return "Sloupce" + std::to_string(pane);
}
// The bar's distance from the view's right edge.
constexpr const char* RightPaneKey = "PravyPanel";

} // namespace

std::string TableView::LayoutSection() const {
    return "Rozlozeni_" + MainTable();
}

void TableView::RestoreColumnWidths() {
    const Profile profile(m_context.folder.SettingsPath());
    for (int pane = 0; pane <= static_cast<int>(m_subs.size()); ++pane) {
        RecordList* list = pane == 0 ? m_main.list : SubList(pane);
        const QStringList widths =
            QString::fromStdString(profile.GetString(LayoutSection(), ColumnsKey(pane), ""))
                .split(QLatin1Char(','), Qt::SkipEmptyParts);
        // Widths of another version's columns are not applied.
        if (widths.size() != list->model()->columnCount())
            continue;
        std::vector<int> pixels;
        for (const QString& width : widths)
            pixels.push_back(width.toInt());
        list->SetColumnWidths(pixels);
    }
}

void TableView::SaveLayout() const {
    Profile profile(m_context.folder.SettingsPath());
    for (int pane = 0; pane <= static_cast<int>(m_subs.size()); ++pane) {
        const RecordList* list = pane == 0 ? m_main.list : SubList(pane);
        QStringList widths;
        for (int column = 0; column < list->model()->columnCount(); ++column)
            widths << QString::number(list->columnWidth(column));
        profile.WriteString(LayoutSection(), ColumnsKey(pane),
                            widths.join(QLatin1Char(',')).toStdString());
    }
    if (m_split && m_splitPlaced)
        profile.WriteInt(LayoutSection(), RightPaneKey,
                         m_split->width() - m_split->sizes().value(0));
}

void TableView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The view fills the frame's client area; only once it is shown does it
    // have the window's real width, so the bar is placed here, once.
    if (m_split && !m_splitPlaced) {
        m_splitPlaced = true;
        m_split->setGeometry(rect());
        const int right = Profile(m_context.folder.SettingsPath())
                              .GetInt(LayoutSection(), RightPaneKey, DefaultRightPaneWidth());
        PlaceSplitBar(width() - right);
    }
}

void TableView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_initialised)
        SaveLayout();
}

void TableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_split) {
        m_split->setGeometry(rect());
        if (m_splitPlaced)
            ApplyCollapseRule();
    } else if (m_initialised) {
        Relayout();
    }
}

bool TableView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == m_leftSide || watched == m_rightSide) &&
        m_initialised)
        Relayout();
    return QWidget::eventFilter(watched, event);
}

void TableView::ApplyCollapseRule() {
    const int w = m_split->width();
    const int left = m_split->sizes().value(0);
    m_rightCollapsed = left + SplitBarWidth >= w - CollapseMargin;
    m_leftCollapsed = !m_rightCollapsed && left < CollapseMargin;
    int place = left;
    if (m_rightCollapsed)
        place = w - BarGap - SplitBarWidth;
    else if (m_leftCollapsed)
        place = BarGap;
    if (place != left)
        m_split->setSizes({place, w - place - SplitBarWidth});
    if (m_initialised)
        Relayout();
}

void TableView::PlacePane(Pane& pane, int x0, int x1, int top, int bottom, bool visible) {
    const QSize button = m_main.buttons.front()->sizeHint();
    int x = x0;
    for (CIconButton* b : pane.buttons) {
        b->setGeometry(x, top, button.width(), button.height());
        b->setVisible(visible);
        x += button.width();
    }
    int captionEnd = x1;
    if (pane.toggle) {
        captionEnd = x1 - button.width();
        pane.toggle->setGeometry(captionEnd, top, button.width(), button.height());
        pane.toggle->setVisible(visible);
    }
    if (pane.caption) {
        pane.caption->setGeometry(x, top, std::max(0, captionEnd - x), button.height());
        pane.caption->setVisible(visible);
    }
    const int listTop = top + button.height() + 1;
    pane.list->setGeometry(x0, listTop, std::max(0, x1 - x0), std::max(0, bottom - listTop));
    pane.list->setVisible(visible && pane.listShown);
}

void TableView::Relayout() {
    if (!m_main.list)
        return;
    if (!m_split) {
        PlacePane(m_main, Margin, width() - Margin, Margin, height() - Margin, true);
        return;
    }
    const int h = m_split->height();
    PlacePane(m_main, Margin, m_leftSide->width() - BarGap, Margin, h - Margin, !m_leftCollapsed);

    // The right pane's sub-panes share its height.
    const int x0 = BarGap;
    const int x1 = m_rightSide->width() - Margin;
    const int buttonHeight = m_main.buttons.front()->sizeHint().height();
    const int count = static_cast<int>(m_subs.size());
    int top = Margin;
    for (int i = 0; i < count; ++i) {
        Pane& pane = m_subs[static_cast<size_t>(i)];
        const bool last = i + 1 == count;
        const bool fixed = i == 0 && m_firstSubListHeight > 0;
        int bottom = h - Margin;
        int next = bottom;
        if (!last && !pane.listShown) {
            bottom = top + buttonHeight + 1;
            next = bottom;
        } else if (!last && fixed) {
            bottom = top + buttonHeight + 1 + m_firstSubListHeight;
            next = bottom + FixedListGap;
        } else if (!last) {
            bottom = h / 2;
            next = bottom + Margin;
        }
        PlacePane(pane, x0, x1, top, bottom, !m_rightCollapsed);
        top = next;
    }
}

bool TableView::FillList(RecordList* list, const std::function<bool()>& load, RecordId selectId,
                         Fallback fallback) {
    WaitCursor wait;
    ++m_loading;
    list->setUpdatesEnabled(false);
    const bool ok = load();
    const int count = list->Model()->Count();
    int row = selectId == NoId ? -1 : list->Model()->RowOf(selectId);
    if (row < 0)
        row = fallback == Fallback::LastRow ? count - 1 : 0;
    if (count > 0)
        list->SelectRow(row);
    list->FitColumnsAfterLoad();
    list->ShowSortArrow();
    list->setUpdatesEnabled(true);
    --m_loading;
    UpdateCommandStates();
    return ok;
}

bool TableView::FillSorted(RecordList* list, const std::function<bool(ListSort, IdList&)>& load,
                           RecordId selectId, Fallback fallback) {
    const ListSort sort{list->SortColumn(), list->SortDescending()};
    return FillList(
        list,
        [&] { return list->Model()->Load([&](IdList& ids) { return load(sort, ids); }, selectId); },
        selectId, fallback);
}

RecordId TableView::SelectedId(const RecordList* list) {
    const std::vector<int> rows = list->SelectedRows();
    return rows.empty() ? NoId : list->Model()->Id(rows.front());
}

void TableView::OnMainSelectionChanged(bool) {}

void TableView::OnSubSelectionChanged(int, bool) {}

void TableView::OnSubHeaderClicked(int, int) {}

bool TableView::CanAddInPane(int pane) const {
    // A dependent pane adds to the selected record of the list before it.
    const RecordList* parent = pane <= 1 ? m_main.list : SubList(pane - 1);
    return parent && parent->HasSelection();
}

void TableView::SetFilterActive(bool active) {
    if (CIconButton* button = FilterButton())
        button->SetHeldPressed(active);
}

void TableView::RemoveRow(RecordList* list, int row) {
    list->Model()->RemoveRow(row);
}

void TableView::AfterWrite(RecordList* list, int row, Outcome outcome,
                           const std::function<void()>& reload) {
    if (outcome == Outcome::Vanished)
        RemoveRow(list, row);
    else if (outcome == Outcome::Done)
        reload();
}

std::vector<RecordId> TableView::SelectedMainIds() const {
    std::vector<RecordId> ids;
    for (int row : m_main.list->SelectedRows())
        ids.push_back(m_main.list->Model()->Id(row));
    return ids;
}

void TableView::BroadcastToOthers(ViewNotification what) {
    if (m_broadcast)
        m_broadcast->NotifyAllViews(this, what);
}

void TableView::AddCommands(std::vector<ViewCommand> commands) {
    m_commands.insert(m_commands.end(), std::make_move_iterator(commands.begin()),
                      std::make_move_iterator(commands.end()));
}

const TableView::ViewCommand* TableView::FindCommand(int command) const {
    const auto it = std::find_if(m_commands.begin(), m_commands.end(),
                                 [command](const ViewCommand& c) { return c.id == command; });
    return it == m_commands.end() ? nullptr : &*it;
}

bool TableView::HandlesCommand(int command) const {
    return FindCommand(command) != nullptr;
}

bool TableView::IsCommandEnabled(int command) const {
    const ViewCommand* entry = FindCommand(command);
    if (entry && entry->enabled && !entry->enabled())
        return false;
    return !m_menuState || IsMenuItemEnabled(command, *m_menuState);
}

bool TableView::OnCommand(int command) {
    const ViewCommand* entry = FindCommand(command);
    if (!entry)
        return false;
    if (!entry->enabled || entry->enabled())
        entry->run();
    return true;
}

CommandActions& TableView::Actions() {
    if (m_frameActions)
        return *m_frameActions;
    if (!m_ownActions)
        m_ownActions =
            new CommandActions([this](int command) { OnCommand(command); },
                               [this](int command) { return IsCommandEnabled(command); }, this);
    return *m_ownActions;
}

void TableView::UpdateCommandStates() {
    if (CommandActions* actions = m_frameActions ? m_frameActions : m_ownActions)
        actions->Update();
}

void TableView::OnNotify(ViewNotification what) {
    if (what == ViewNotification::Refresh)
        LoadMainList();
}

void TableView::ShowContextMenu(int pane, int row, const QPoint& globalPos) {
    MenuState state;
    state.onRow = row >= 0;
    state.canAdd = pane == 0 || CanAddInPane(pane);
    CommandActions& actions = Actions();
    m_menuState = state;
    actions.Update();
    QMenu menu(this);
    FillRecordMenu(menu, PaneAt(pane).menu, actions);
    menu.exec(globalPos);
    m_menuState.reset();
    actions.Update();
}

int TableView::SearchColumnOfCurrentCell() const {
    const int column = SearchColumnOf(m_main.list->currentIndex().column());
    return column >= 0 ? column : 0;
}

int TableView::FindFrom(int start, const std::unordered_set<RecordId>& matching) const {
    const std::vector<RecordId>& ids = m_main.list->Model()->Ids();
    if (start < 0 || start >= static_cast<int>(ids.size()))
        return -1;
    for (size_t row = static_cast<size_t>(start); row < ids.size(); ++row) {
        if (matching.count(ids[row]))
            return static_cast<int>(row);
    }
    return -1;
}

void TableView::ExecuteFindReplace(const FindReplaceRequest& request) {
    RecordList* list = m_main.list;
    ListModel* model = list->Model();
    FindReplaceSpec spec{MainTable(),       MainIdColumn(),       request.field,
                         request.findValue, request.replaceValue, request.partMatch};
    const int focused = list->FocusedRow();
    list->ClearSelectionAndFocus();
    const std::unordered_set<RecordId> matching =
        FindMatching(Store(), spec).value_or(std::unordered_set<RecordId>{});

    auto findNext = [&](int after) {
        int start = after + 1;
        if (start >= model->Count())
            start = 0;
        const int row = FindFrom(start, matching);
        if (row >= 0)
            list->SelectRow(row);
        else
            QApplication::beep();
    };

    switch (request.mode) {
    case FindReplaceRequest::FindNext:
        findNext(focused);
        break;
    case FindReplaceRequest::ReplaceOne:
        if (focused >= 0 && FindFrom(focused, matching) == focused &&
            ReplaceInRecords(Store(), spec, {model->Id(focused)}) == Outcome::Done)
            model->RefreshRow(focused);
        findNext(focused);
        break;
    case FindReplaceRequest::ReplaceAll: {
        // Every match of the list in one unit of work, in the list's order.
        std::vector<int> rows;
        std::vector<RecordId> ids;
        for (int row = FindFrom(0, matching); row >= 0; row = FindFrom(row + 1, matching)) {
            rows.push_back(row);
            ids.push_back(model->Id(row));
        }
        if (!ids.empty() && ReplaceInRecords(Store(), spec, ids) == Outcome::Done) {
            for (int row : rows)
                model->RefreshRow(row);
        }
        QApplication::beep();
        break;
    }
    }
}

} // namespace tarvo
