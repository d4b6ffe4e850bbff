#pragma once

#include "core/ports/notifyport.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarvo {

class CCaptionPanel;
class CDataStore;
class CIconButton;
class CRecordList;
class CSplitBar;
class CTableView;
class IMessagePort;
struct FindReplaceRequest;

// What a view uses to tell every other view about a change it made.
class IViewBroadcast {
public:
    virtual ~IViewBroadcast() = default;
    virtual void NotifyAllViews(CTableView* sender, ViewNotification what) = 0;
};

// The base of the table views: a main list on the left with its add, edit,
// delete and filter buttons and caption; optionally a right pane of
// sub-panes, each with add, edit and delete buttons, a caption and a list;
// the split bar between them. It lays the panes out, routes button clicks,
// double clicks, header clicks and context menus to commands, keeps the
// selection cascade going and runs find and replace on the main list.
class CTableView : public QWidget {
    Q_OBJECT
public:
    static constexpr int NoId = -1;
    static constexpr int CollapseMargin = 120;

    explicit CTableView(QWidget* parent = nullptr);
    ~CTableView() override;

    void SetBroadcast(IViewBroadcast* broadcast) { m_broadcast = broadcast; }

    // Builds the lists once, when the frame first shows the view; the split
    // bar starts 240 pixels left of the frame's right edge.
    void InitialUpdate(int frameClientWidth);

    // Runs a command of the menus, accelerators, buttons or context menus.
    // False when the view has nothing to do with it (the frame then handles
    // it).
    virtual bool OnCommand(int command);
    virtual bool HandlesCommand(int command) const;
    virtual bool IsCommandEnabled(int command) const;
    // A broadcast of the frame; the refresh reloads the main list.
    virtual void OnNotify(ViewNotification what);

    // Find and replace: the searchable columns in order, and the one that
    // the column the main list is sorted by corresponds to (empty: none).
    virtual std::vector<std::string> SearchableColumns() const = 0;
    virtual std::string SearchColumnOfSort() const = 0;
    // The table of the main list's records and its identifier column.
    virtual std::string MainTable() const = 0;
    virtual std::string MainIdColumn() const = 0;
    void ExecuteFindReplace(const FindReplaceRequest& request);

    CRecordList* MainList() const { return m_main.list; }
    CRecordList* SubList(int pane) const;
    CSplitBar* SplitBar() const { return m_split; }
    CIconButton* FilterButton() const;
    CIconButton* PaneButton(int pane, int index) const;
    bool IsRightPaneCollapsed() const { return m_rightCollapsed; }
    bool IsLeftPaneCollapsed() const { return m_leftCollapsed; }

    // Lays the panes out by the split bar's place.
    void Relayout();

protected:
    struct Pane {
        std::vector<CIconButton*> buttons;
        CCaptionPanel* caption = nullptr;
        CRecordList* list = nullptr;
    };

    CDataStore& Store() const;
    IMessagePort& Messages() const;

    void BuildMainPane(const QString& caption, CRecordList* list);
    void AddSubPane(int addCommand, int editCommand, int deleteCommand, const QString& caption,
                    CRecordList* list);
    void SetPaneEnabled(int pane, bool enabled);

    // Loads the main list, selecting selectId or, with NoId, keeping the
    // first selected row; the dependent panes follow.
    virtual void LoadMainList(int64_t selectId = NoId) = 0;
    // Fills a list from an identifier query and selects a row: selectId if
    // present, otherwise the first row. Returns false on a database error.
    bool FillList(CRecordList* list, const std::string& idSql, int64_t selectId);
    // The same with a loader that fills the list's model.
    bool FillList(CRecordList* list, const std::function<bool()>& load, int64_t selectId);
    // The identifier of the first selected row, or NoId.
    static int64_t FirstSelectedId(const CRecordList* list);

    virtual void OnMainSelectionChanged(bool becameSelected);
    virtual void OnSubSelectionChanged(int pane, bool becameSelected);
    virtual void OnSubHeaderClicked(int pane, int column);
    // Whether the add item of a pane's context menu is available.
    virtual bool CanAddInPane(int pane) const;

    void SetFilterActive(bool active);
    void BroadcastToOthers(ViewNotification what);
    // The frame's message rule while lists load: cascades wait until the
    // loading list is complete.
    bool IsLoading() const { return m_loading > 0; }

    void resizeEvent(QResizeEvent* event) override;

    Pane m_main;
    std::vector<Pane> m_subs;

private:
    void OpenFindReplace(int tab);
    void ShowContextMenu(int pane, int row, const QPoint& globalPos);
    // The identifiers of the records that meet a criterion.
    std::unordered_set<int64_t> Matching(const std::string& criterion);
    // The first row at or after start whose record is in matching; -1 when
    // none or when start lies outside the list.
    int FindFrom(int start, const std::unordered_set<int64_t>& matching) const;
    bool ReplaceInRecord(int row, const FindReplaceRequest& request);
    CIconButton* MakeButton(int command, const QIcon& icon);
    void PlacePane(Pane& pane, int x0, int x1, int top, int bottom, bool visible);

    IViewBroadcast* m_broadcast = nullptr;
    CSplitBar* m_split = nullptr;
    bool m_initialised = false;
    bool m_rightCollapsed = false;
    bool m_leftCollapsed = false;
    int m_loading = 0;
};

} // namespace tarvo
