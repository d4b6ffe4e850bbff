#include "ui/framework/ctableview.h"

#include "app/appglobals.h"
#include "core/data/cdatastore.h"
#include "core/data/recordset.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "ui/framework/ccaptionpanel.h"
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/clistmodel.h"
#include "ui/framework/commandids.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/csplitbar.h"
#include "ui/framework/icons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <algorithm>

namespace tarvo {

namespace {
constexpr int Margin = 7;

// Keeps the wait cursor up while a list loads.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

struct MenuItem {
    int command;
    const char* text; // empty: separator
};
} // namespace

CTableView::CTableView(QWidget* parent) : QWidget(parent) {}

CTableView::~CTableView() {
    if (CDlgFindReplace* dialog = CDlgFindReplace::Instance(); dialog && dialog->Target() == this)
        CDlgFindReplace::CloseIfOpen();
}

CDataStore& CTableView::Store() const {
    return TheDataStore();
}

IMessagePort& CTableView::Messages() const {
    return TheMessages();
}

CIconButton* CTableView::MakeButton(int command, const QIcon& icon) {
    auto* button = new CIconButton(command, icon, this);
    connect(button, &QAbstractButton::clicked, this, [this, command] { OnCommand(command); });
    return button;
}

void CTableView::BuildMainPane(const QString& caption, CRecordList* list) {
    m_main.buttons = {MakeButton(cmd::Add, icons::Add()), MakeButton(cmd::Edit, icons::Edit()),
                      MakeButton(cmd::Delete, icons::Delete()),
                      MakeButton(cmd::Filter, icons::Filter())};
    m_main.buttons[0]->setToolTip(QStringLiteral("Nový záznam"));
    m_main.buttons[1]->setToolTip(QStringLiteral("Upravit záznam"));
    m_main.buttons[2]->setToolTip(QStringLiteral("Odstranit záznam"));
    m_main.buttons[3]->setToolTip(QStringLiteral("Filtr "));
    m_main.caption = new CCaptionPanel(caption, this);
    m_main.list = list;
    list->setParent(this);
    connect(list, &CRecordList::headerClicked, this, [this](int column) {
        m_main.list->ClickSort(column);
        LoadMainList();
    });
    connect(list, &CRecordList::rowActivated, this, [this](int) { OnCommand(cmd::Edit); });
    connect(list, &CRecordList::contextMenuRequested, this,
            [this](int row, const QPoint& pos) { ShowContextMenu(0, row, pos); });
    connect(list, &CRecordList::selectionChangedRows, this, [this](bool becameSelected) {
        if (!IsLoading())
            OnMainSelectionChanged(becameSelected);
    });
}

void CTableView::AddSubPane(int addCommand, int editCommand, int deleteCommand,
                            const QString& caption, CRecordList* list) {
    if (!m_split) {
        m_split = new CSplitBar(this);
        connect(m_split, &CSplitBar::relayoutRequested, this, [this] {
            Relayout();
            update();
        });
    }
    Pane pane;
    pane.buttons = {MakeButton(addCommand, icons::Add()), MakeButton(editCommand, icons::Edit()),
                    MakeButton(deleteCommand, icons::Delete())};
    pane.caption = new CCaptionPanel(caption, this);
    pane.list = list;
    list->setParent(this);
    const int index = static_cast<int>(m_subs.size()) + 1;
    connect(list, &CRecordList::headerClicked, this,
            [this, index](int column) { OnSubHeaderClicked(index, column); });
    connect(list, &CRecordList::rowActivated, this,
            [this, editCommand](int) { OnCommand(editCommand); });
    connect(list, &CRecordList::contextMenuRequested, this,
            [this, index](int row, const QPoint& pos) { ShowContextMenu(index, row, pos); });
    connect(list, &CRecordList::selectionChangedRows, this, [this, index](bool becameSelected) {
        if (!IsLoading())
            OnSubSelectionChanged(index, becameSelected);
    });
    m_subs.push_back(pane);
}

CRecordList* CTableView::SubList(int pane) const {
    if (pane < 1 || pane > static_cast<int>(m_subs.size()))
        return nullptr;
    return m_subs[static_cast<size_t>(pane - 1)].list;
}

CIconButton* CTableView::FilterButton() const {
    return m_main.buttons.size() > 3 ? m_main.buttons[3] : nullptr;
}

CIconButton* CTableView::PaneButton(int pane, int index) const {
    const Pane& p = pane == 0 ? m_main : m_subs.at(static_cast<size_t>(pane - 1));
    return p.buttons.at(static_cast<size_t>(index));
}

void CTableView::SetPaneEnabled(int pane, bool enabled) {
    Pane& p = m_subs.at(static_cast<size_t>(pane - 1));
    for (CIconButton* button : p.buttons)
        button->setEnabled(enabled);
    p.list->setEnabled(enabled);
}

void CTableView::InitialUpdate(int frameClientWidth) {
    if (m_initialised)
        return;
    m_initialised = true;
    LoadMainList();
    m_main.list->FitColumns();
    for (Pane& pane : m_subs)
        pane.list->FitColumns();
    if (m_split)
        m_split->setGeometry(frameClientWidth - 240, 0, CSplitBar::Width, height());
    Relayout();
}

void CTableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_initialised)
        Relayout();
}

void CTableView::PlacePane(Pane& pane, int x0, int x1, int top, int bottom, bool visible) {
    const QSize button = m_main.buttons.front()->sizeHint();
    int x = x0;
    for (CIconButton* b : pane.buttons) {
        b->setGeometry(x, top, button.width(), button.height());
        b->setVisible(visible);
        x += button.width();
    }
    if (pane.caption) {
        pane.caption->setGeometry(x, top, std::max(0, x1 - x), button.height());
        pane.caption->setVisible(visible);
    }
    const int listTop = top + button.height() + 1;
    pane.list->setGeometry(x0, listTop, std::max(0, x1 - x0), std::max(0, bottom - listTop));
    pane.list->setVisible(visible);
}

void CTableView::Relayout() {
    if (!m_main.list)
        return;
    const int w = width();
    const int h = height();
    if (!m_split) {
        PlacePane(m_main, Margin, w - Margin, Margin, h - Margin, true);
        return;
    }
    int left = m_split->x();
    const int right = left + CSplitBar::Width;
    m_rightCollapsed = right >= w - CollapseMargin;
    m_leftCollapsed = !m_rightCollapsed && left < CollapseMargin;
    if (m_rightCollapsed)
        left = w - 7;
    else if (m_leftCollapsed)
        left = 2;
    m_split->setGeometry(left, Margin, CSplitBar::Width, std::max(0, h - 2 * Margin));
    PlacePane(m_main, Margin, left - 2, Margin, h - Margin, !m_leftCollapsed);

    // The right pane's sub-panes share its height.
    const int x0 = left + CSplitBar::Width + 2;
    const int count = static_cast<int>(m_subs.size());
    int top = Margin;
    for (int i = 0; i < count; ++i) {
        const int bottom = i + 1 == count ? h - Margin : h / 2;
        PlacePane(m_subs[static_cast<size_t>(i)], x0, w - Margin, top, bottom, !m_rightCollapsed);
        top = bottom + Margin;
    }
}

bool CTableView::FillList(CRecordList* list, const std::string& idSql, int64_t selectId) {
    return FillList(
        list, [&] { return list->Model()->Load(Store(), idSql); }, selectId);
}

bool CTableView::FillList(CRecordList* list, const std::function<bool()>& load, int64_t selectId) {
    WaitCursor wait;
    ++m_loading;
    list->setUpdatesEnabled(false);
    const bool ok = load();
    const int row = selectId == NoId ? -1 : list->Model()->RowOf(selectId);
    if (list->Model()->Count() > 0)
        list->SelectRow(row >= 0 ? row : 0);
    list->ShowSortArrow();
    list->setUpdatesEnabled(true);
    --m_loading;
    return ok;
}

int64_t CTableView::FirstSelectedId(const CRecordList* list) {
    const std::vector<int> rows = list->SelectedRows();
    return rows.empty() ? NoId : list->Model()->Id(rows.front());
}

void CTableView::OnMainSelectionChanged(bool) {}

void CTableView::OnSubSelectionChanged(int, bool) {}

void CTableView::OnSubHeaderClicked(int, int) {}

bool CTableView::CanAddInPane(int pane) const {
    // A dependent pane adds to the selected record of the list before it.
    const CRecordList* parent = pane <= 1 ? m_main.list : SubList(pane - 1);
    return parent && parent->HasSelection();
}

void CTableView::SetFilterActive(bool active) {
    if (CIconButton* button = FilterButton())
        button->SetHeldPressed(active);
}

void CTableView::BroadcastToOthers(ViewNotification what) {
    if (m_broadcast)
        m_broadcast->NotifyAllViews(this, what);
}

bool CTableView::HandlesCommand(int command) const {
    switch (command) {
    case cmd::Add:
    case cmd::Edit:
    case cmd::Delete:
    case cmd::Filter:
    case cmd::Find:
    case cmd::Replace:
    case cmd::Refresh:
        return true;
    default:
        return false;
    }
}

bool CTableView::IsCommandEnabled(int command) const {
    return HandlesCommand(command);
}

bool CTableView::OnCommand(int command) {
    switch (command) {
    case cmd::Find:
        OpenFindReplace(0);
        return true;
    case cmd::Replace:
        OpenFindReplace(1);
        return true;
    case cmd::Refresh:
        LoadMainList();
        return true;
    default:
        return false;
    }
}

void CTableView::OnNotify(ViewNotification what) {
    if (what == ViewNotification::Refresh)
        LoadMainList();
}

void CTableView::OpenFindReplace(int tab) {
    CDlgFindReplace::Open(this, tab, SearchableColumns(), SearchColumnOfSort());
}

void CTableView::ShowContextMenu(int pane, int row, const QPoint& globalPos) {
    static const MenuItem recMain[] = {{cmd::Add, "&Přidat\tIns"},
                                       {cmd::Edit, "&Upravit\tEnter"},
                                       {cmd::Delete, "&Odstranit\tDel"},
                                       {0, ""},
                                       {cmd::Find, "&Najít...\tCtrl+F"},
                                       {cmd::Replace, "Na&hradit...\tCtrl+H"},
                                       {0, ""},
                                       {cmd::Filter, "Fil&tr...\tCtrl+T"}};
    static const MenuItem rec2[] = {{cmd::Add2, "&Přidat\tCtrl+Ins"},
                                    {cmd::Edit2, "&Upravit\tCtrl+Enter"},
                                    {cmd::Delete2, "&Odstranit\tCtrl+Del"}};
    static const MenuItem rec3[] = {{cmd::Add3, "&Přidat\tAlt+Ins"},
                                    {cmd::Edit3, "&Upravit\tAlt+Enter"},
                                    {cmd::Delete3, "&Odstranit\tAlt+Del"}};
    const MenuItem* begin = recMain;
    const MenuItem* end = std::end(recMain);
    if (pane == 1) {
        begin = rec2;
        end = std::end(rec2);
    } else if (pane == 2) {
        begin = rec3;
        end = std::end(rec3);
    }
    QMenu menu(this);
    for (const MenuItem* item = begin; item != end; ++item) {
        if (item->command == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromUtf8(item->text));
        const int command = item->command;
        const bool onRow = row >= 0;
        switch (command) {
        case cmd::Edit:
        case cmd::Delete:
        case cmd::Edit2:
        case cmd::Delete2:
        case cmd::Edit3:
        case cmd::Delete3:
            action->setEnabled(onRow);
            break;
        case cmd::Add2:
        case cmd::Add3:
            action->setEnabled(CanAddInPane(pane));
            break;
        default:
            break;
        }
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    menu.exec(globalPos);
}

std::unordered_set<int64_t> CTableView::Matching(const std::string& criterion) {
    std::unordered_set<int64_t> ids;
    try {
        CStatement st(Store(), Format("SELECT %s FROM %s WHERE %s", MainIdColumn().c_str(),
                                      MainTable().c_str(), criterion.c_str()));
        while (st.Step())
            ids.insert(st.Int(0));
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
    }
    return ids;
}

int CTableView::FindFrom(int start, const std::unordered_set<int64_t>& matching) const {
    const std::vector<int64_t>& ids = m_main.list->Model()->Ids();
    if (start < 0 || start >= static_cast<int>(ids.size()))
        return -1;
    for (size_t row = static_cast<size_t>(start); row < ids.size(); ++row) {
        if (matching.count(ids[row]))
            return static_cast<int>(row);
    }
    return -1;
}

bool CTableView::ReplaceInRecord(int row, const FindReplaceRequest& request) {
    const int64_t id = m_main.list->Model()->Id(row);
    try {
        CRecordset rs;
        Store().OpenRecordsetOrThrow(rs,
                                     Format("SELECT * FROM %s WHERE %s = %lld", MainTable().c_str(),
                                            MainIdColumn().c_str(), static_cast<long long>(id)));
        if (rs.IsEOF())
            return false;
        if (request.partMatch && request.findValue.GetKind() == Value::Kind::Text) {
            const std::string find = request.findValue.ToString();
            const std::string replace = request.replaceValue.ToString();
            std::string text = rs.GetText(request.field);
            // Every occurrence, matched with its letter case.
            for (size_t at = text.find(find); at != std::string::npos;
                 at = text.find(find, at + replace.size()))
                text.replace(at, find.size(), replace);
            rs.SetField(request.field, Value(text));
        } else {
            rs.SetField(request.field, request.replaceValue);
        }
        rs.Update();
    } catch (const ComError& e) {
        ShowComError(Messages(), e);
        return false;
    }
    m_main.list->Model()->RefreshRow(row);
    return true;
}

void CTableView::ExecuteFindReplace(const FindReplaceRequest& request) {
    CRecordList* list = m_main.list;
    const std::string criterion = request.Criterion();
    const int focused = list->FocusedRow();
    list->ClearSelectionAndFocus();
    const int count = list->Model()->Count();

    auto findNext = [&](int after) {
        int start = after + 1;
        if (start >= count)
            start = 0;
        const int row = FindFrom(start, Matching(criterion));
        if (row >= 0)
            list->SelectRow(row);
        else
            QApplication::beep();
    };

    switch (request.mode) {
    case FindReplaceRequest::FindNext:
        findNext(focused);
        break;
    case FindReplaceRequest::ReplaceOne: {
        if (focused >= 0 && FindFrom(focused, Matching(criterion)) == focused)
            ReplaceInRecord(focused, request);
        findNext(focused);
        break;
    }
    case FindReplaceRequest::ReplaceAll: {
        const std::unordered_set<int64_t> matching = Matching(criterion);
        for (int row = FindFrom(0, matching); row >= 0; row = FindFrom(row + 1, matching)) {
            if (!ReplaceInRecord(row, request))
                break;
        }
        QApplication::beep();
        break;
    }
    }
}

} // namespace tarvo
