#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/ports/notifyport.h"
#include "core/registers/outcome.h"
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/commands.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class QSplitter;
class QSplitterHandle;

namespace tarvo {

class CCaptionPanel;
class CDataStore;
class CIconButton;
class RecordList;
class TableView;
class IMessagePort;
struct GuiContext;

// What a view uses to tell every other view about a change it made.
class IViewBroadcast {
public:
    virtual ~IViewBroadcast() = default;
    virtual void NotifyAllViews(TableView* sender, ViewNotification what) = 0;
};

// The base of the table views: a main list on the left with its add, edit,
// delete and filter buttons and caption; optionally a right pane of
// sub-panes, each with add, edit and delete buttons, a caption and a list;
// a splitter between them, whose bar collapses a side dragged near the
// view's edge. It lays the panes out, routes button clicks,
// double clicks, header clicks and context menus to commands, keeps the
// selection cascade going and runs find and replace on the main list.
//
// A view without sub-panes has no splitter: its main pane fills the view.
class TableView : public QWidget {
    Q_OBJECT
public:
    static constexpr RecordId NoId = NoRecord;
    // A bar dropped nearer than this to the view's left or right edge
    // collapses that side's pane; the bar then stands BarGap from the
    // edge, where it can be dragged out again.
    static constexpr int CollapseMargin = 120;
    // The gap between the bar and the panes beside it.
    static constexpr int BarGap = 2;
    // The designed distance of the split bar from the frame's right edge.
    static constexpr int RightPaneWidth = 240;
    // The width of the bar, which is draggable along its whole height.
    static constexpr int SplitBarWidth = 5;
    // The margin round the panes (m).
    static constexpr int Margin = 7;

    explicit TableView(const GuiContext& context, QWidget* parent = nullptr);
    ~TableView() override;

    void SetBroadcast(IViewBroadcast* broadcast) { m_broadcast = broadcast; }
    // The frame's command actions, which the context menus show. A view
    // outside a frame makes its own on first use.
    void SetCommandActions(CommandActions* actions) { m_frameActions = actions; }

    // Builds the lists once, when the frame first makes the view. The split
    // bar is placed when the view is first shown, at its real width; later
    // sizes change the right pane's width only.
    void InitialUpdate();

    // Runs a command of the menus, accelerators, buttons or context menus
    // by the view's command table; a command whose predicate says no does
    // nothing, whichever way it comes. False when the view has nothing to do
    // with it.
    virtual bool OnCommand(int command);
    // Whether the view handles a command: the frame sends it only these, and
    // enables them while IsCommandEnabled says so.
    bool HandlesCommand(int command) const;
    // The command's predicate; while a context menu is open, also what the
    // click allows (a row under it, a parent record for a dependent add).
    bool IsCommandEnabled(int command) const;
    // A broadcast of the frame; the refresh reloads the main list.
    virtual void OnNotify(ViewNotification what);

    // Find and replace: the searchable columns in order (the name first), and
    // the index of the one a column of the main list stands for (-1: none).
    virtual std::vector<SearchColumn> SearchColumns() const = 0;
    virtual int SearchColumnOf(int listColumn) const = 0;
    // The search column of the main list's current cell (the column the user
    // clicked last), else the first one.
    int SearchColumnOfCurrentCell() const;
    // The table of the main list's records and its identifier column.
    virtual std::string MainTable() const = 0;
    virtual std::string MainIdColumn() const = 0;
    void ExecuteFindReplace(const FindReplaceRequest& request);

    RecordList* MainList() const { return m_main.list; }
    RecordList* SubList(int pane) const;
    // The bar between the panes; null in a view without sub-panes.
    QSplitterHandle* SplitBar() const;
    CIconButton* FilterButton() const;
    CIconButton* PaneButton(int pane, int index) const;
    CIconButton* PaneToggle(int pane) const;
    bool IsRightPaneCollapsed() const { return m_rightCollapsed; }
    bool IsLeftPaneCollapsed() const { return m_leftCollapsed; }

    // Puts the bar's left edge at x, as a drag that ends there does: the
    // collapse rule applies.
    void PlaceSplitBar(int x);

protected:
    struct Pane {
        std::vector<CIconButton*> buttons;
        CCaptionPanel* caption = nullptr;
        RecordList* list = nullptr;
        RecordMenu menu = RecordMenu::Main;
        CIconButton* toggle = nullptr;
        bool listShown = true;
    };

    // One command of the view: what runs it and, when it cannot always run,
    // when it can.
    struct ViewCommand {
        int id;
        std::function<void()> run;
        std::function<bool()> enabled = {};
    };
    // The view's commands, added to the refresh that every view has.
    void AddCommands(std::vector<ViewCommand> commands);

    const GuiContext& Context() const { return m_context; }
    CDataStore& Store() const;
    IMessagePort& Messages() const;

    // The main pane: add, edit, delete and filter buttons, the caption and
    // the list (which the view owns from now on). Its context menu is
    // "recMain" unless SetPaneMenu says otherwise.
    void BuildMainPane(const QString& caption, RecordList* list);
    // A sub-pane of the right pane, below the ones added before; its context
    // menu is "rec2" for the first, "rec3" for the second.
    void AddSubPane(int addCommand, int editCommand, int deleteCommand, const QString& caption,
                    RecordList* list);
    void SetPaneEnabled(int pane, bool enabled);
    // Another context menu for a pane (0 the main pane): the products' main
    // list uses RecordMenu::Products, which adds the bulk cover assignment.
    void SetPaneMenu(int pane, RecordMenu menu);

    // Layout variants of two sub-panes. By default the first list ends at
    // half the view's height and the second pane starts m pixels below it
    // (dispatches). With a fixed height the first list keeps it and the
    // second pane starts 2 pixels below (the products' validity dates).
    void SetFirstSubListHeight(int pixels);
    // A toggle button at the right end of a sub-pane's button row; a click
    // calls onToggle. The view decides what the toggle means and calls
    // SetPaneListShown (the dispatches' product lines).
    CIconButton* AddPaneToggle(int pane, const QIcon& icon, const std::function<void()>& onToggle);
    // Hides or shows a sub-pane's list; while it is hidden the next sub-pane
    // moves up right below this pane's button row.
    void SetPaneListShown(int pane, bool shown);
    bool IsPaneListShown(int pane) const;

    // Loads the main list, selecting selectId or, with NoId, keeping the
    // first selected row; the dependent panes follow.
    virtual void LoadMainList(RecordId selectId = NoId) = 0;

    // Which row a loaded list selects when the record asked for is not in it.
    enum class Fallback {
        FirstRow, // the designed default
        LastRow,  // the products' validity dates: the latest one
    };
    // Fills a list with a loader that fills the list's model, then selects
    // the row of selectId if present, otherwise the fallback row. To
    // reselect the row selected before the reload (the dispatches' lists),
    // pass SelectedId(list) as selectId. Returns the loader's result.
    bool FillList(RecordList* list, const std::function<bool()>& load, RecordId selectId,
                  Fallback fallback = Fallback::FirstRow);
    // FillList with one of the core's identifier loaders, in the list's own
    // sort order.
    bool FillSorted(RecordList* list, const std::function<bool(ListSort, IdList&)>& load,
                    RecordId selectId, Fallback fallback = Fallback::FirstRow);
    // The identifier of the first selected row, or NoId.
    static RecordId SelectedId(const RecordList* list);

    virtual void OnMainSelectionChanged(bool becameSelected);
    virtual void OnSubSelectionChanged(int pane, bool becameSelected);
    virtual void OnSubHeaderClicked(int pane, int column);
    // Whether the add item of a pane's context menu is available: by default
    // while the list before it has a selected row.
    virtual bool CanAddInPane(int pane) const;

    void SetFilterActive(bool active);
    // The filter command, with the dialog made on a copy of the view's
    // filter: the filter button stays pressed while the dialog runs; on OK
    // the view takes the dialog's filter and reloads its main list; the
    // button then shows whether a filter is active.
    template <typename Dialog, typename Filter>
    void RunFilterDialog(Dialog& dialog, Filter& filter) {
        SetFilterActive(true);
        if (dialog.exec() == QDialog::Accepted) {
            filter = dialog.Record();
            LoadMainList();
        }
        SetFilterActive(filter.IsActive());
    }
    // The identifiers of the main list's selected rows, in list order.
    std::vector<RecordId> SelectedMainIds() const;

    // Removes the row of a record that another program removed. A view whose
    // other lists show what belongs to the row reloads them as well.
    virtual void RemoveRow(RecordList* list, int row);
    // The record of a row as its register read it, for the dialog that edits
    // it; the row goes when the record vanished.
    template <typename Record>
    std::optional<Record> ReadRow(RecordList* list, int row, const ReadResult<Record>& read) {
        if (read.outcome == Outcome::Vanished)
            RemoveRow(list, row);
        if (!read)
            return std::nullopt;
        return read.record;
    }
    // What a write on a row leads to: the row goes when its record vanished,
    // reload runs when the write was stored; otherwise the list stays.
    void AfterWrite(RecordList* list, int row, Outcome outcome,
                    const std::function<void()>& reload);
    void BroadcastToOthers(ViewNotification what);
    // The notifier a view hands to its registers: what a register tells
    // reaches every other view, as the frame's broadcast from this one.
    IViewNotifier& OtherViews() { return m_otherViews; }
    // The frame's message rule while lists load: cascades wait until the
    // loading list is complete.
    bool IsLoading() const { return m_loading > 0; }

    // The distance of the bar from the right edge until the user moves it:
    // the designed one, unless a view's right pane needs more.
    virtual int DefaultRightPaneWidth() const { return RightPaneWidth; }

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Pane m_main;
    std::vector<Pane> m_subs;

private:
    class OtherViewsNotifier final : public IViewNotifier {
    public:
        explicit OtherViewsNotifier(TableView& view) : m_view(view) {}
        void NotifyAllViews(ViewNotification what) override { m_view.BroadcastToOthers(what); }

    private:
        TableView& m_view;
    };

    void ShowContextMenu(int pane, int row, const QPoint& globalPos);
    const ViewCommand* FindCommand(int command) const;
    // The actions the context menus show: the frame's, or the view's own.
    CommandActions& Actions();
    // The actions follow a change of what the view's commands can do: a
    // selection, a list loaded, a toggle.
    void UpdateCommandStates();
    // The first row at or after start whose record is in matching; -1 when
    // none or when start lies outside the list.
    int FindFrom(int start, const std::unordered_set<RecordId>& matching) const;
    CIconButton* MakeButton(int command, const QIcon& icon);
    Pane& PaneAt(int pane);
    // Lays the panes out in their sides of the splitter.
    void Relayout();
    void PlacePane(Pane& pane, int x0, int x1, int top, int bottom, bool visible);
    // The splitter with the main pane's widgets moved into its left side.
    void MakeSplitter();
    // The column widths and the right pane's width of the view are kept in
    // the settings file (section "Rozlozeni_<table>"), so that the view
    // opens the next time as the user left it. Saved when the view is
    // hidden (another table chosen, the program closed).
    std::string LayoutSection() const;
    void RestoreColumnWidths();
    void SaveLayout() const;
    // The collapse rule, after the bar moved or the view changed its width:
    // a bar near an edge collapses that side and goes to the edge.
    void ApplyCollapseRule();

    const GuiContext& m_context;
    IViewBroadcast* m_broadcast = nullptr;
    CommandActions* m_frameActions = nullptr;
    CommandActions* m_ownActions = nullptr;
    std::vector<ViewCommand> m_commands;
    // What the click of the open context menu allows; empty while none is open.
    std::optional<MenuState> m_menuState;
    OtherViewsNotifier m_otherViews{*this};
    QSplitter* m_split = nullptr;
    QWidget* m_leftSide = nullptr;
    QWidget* m_rightSide = nullptr;
    int m_firstSubListHeight = 0;
    bool m_initialised = false;
    bool m_splitPlaced = false;
    bool m_rightCollapsed = false;
    bool m_leftCollapsed = false;
    int m_loading = 0;
};

} // namespace tarvo
