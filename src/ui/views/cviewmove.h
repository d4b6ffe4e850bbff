#pragma once

#include "core/registers/movefilter.h"
#include "core/registers/moveregister.h"
#include "ui/framework/tableview.h"

#include <functional>
#include <optional>

namespace tarvo {

// The dispatches table: the dispatch documents on the left; on the right the
// product lines of the one selected dispatch and below them the cover lines,
// either of the selected product line or (with the product lines hidden by
// the toggle) of the whole dispatch.
class CViewMove : public TableView {
    Q_OBJECT
public:
    explicit CViewMove(const GuiContext& context, QWidget* parent = nullptr);

    void OnNotify(ViewNotification what) override;

    std::vector<SearchColumn> SearchColumns() const override;
    int SearchColumnOf(int listColumn) const override;
    std::string MainTable() const override { return "Move"; }
    std::string MainIdColumn() const override { return "move_id"; }

    const MoveFilter& Filter() const { return m_filter; }
    RecordList* LineList() const { return SubList(1); }
    RecordList* CoverList() const { return SubList(2); }
    bool LinesShown() const { return m_showLines; }
    // The toggle button's click: product lines shown or hidden.
    void ToggleLines();

protected:
    void LoadMainList(RecordId selectId = NoId) override;
    void OnMainSelectionChanged(bool becameSelected) override;
    void OnSubSelectionChanged(int pane, bool becameSelected) override;
    void OnSubHeaderClicked(int pane, int column) override;
    bool CanAddInPane(int pane) const override;

private:
    // Each reload selects the row that was selected before, when it is
    // still listed, or else the first row.
    void LoadLines();
    void LoadCovers();
    void UpdateEnabling();
    // The one selected dispatch, or NoId (none or several).
    RecordId SingleSelectedMove() const;
    // Product-line commands work while the lines are shown and enabled,
    // cover-line edits while the cover lines are enabled.
    bool LinesActive() const;
    bool CoversActive() const;
    // The selected row of a dependent list, or nothing after telling the
    // user to select one.
    std::optional<int> SelectedRow(RecordList* list, const char* nothingSelected);
    // The cover lines follow a removed product line.
    void RemoveRow(RecordList* list, int row) override;

    void AddMove();
    void EditMove();
    void DeleteMoves();
    void RunFilter();
    void AddLine();
    void EditLine();
    void DeleteLine();
    void AddCoverLine();
    void EditCoverLine();
    void DeleteCoverLine();

    MoveRegister m_register;
    MoveFilter m_filter;
    bool m_showLines = true;
    // The dispatch whose lines the right pane shows (NoId: none).
    RecordId m_linesMove = NoId;
};

} // namespace tarvo
