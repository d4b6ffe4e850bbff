#pragma once

#include "core/registers/coverfilter.h"
#include "core/registers/coverregister.h"
#include "ui/framework/tableview.h"

#include <optional>

namespace tarvo {

// The covers table: covers that are not deleted on the left, the discards of
// the one selected cover on the right. Every change goes through the covers
// register; the view only shows the records and collects the input.
class CViewCover : public TableView {
    Q_OBJECT
public:
    explicit CViewCover(const GuiContext& context, QWidget* parent = nullptr);

    std::vector<SearchColumn> SearchColumns() const override;
    int SearchColumnOf(int listColumn) const override;
    std::string MainTable() const override { return "Cover"; }
    std::string MainIdColumn() const override { return "cover_id"; }

    const CoverFilter& Filter() const { return m_filter; }
    // The list filtered to the covers not complete for the statement since
    // 2021, in place of the filter set before: what the report dialog sends
    // the user to mend.
    void ShowIncompleteCovers();
    RecordList* DiscardList() const { return SubList(1); }

protected:
    void LoadMainList(RecordId selectId = NoId) override;
    void OnMainSelectionChanged(bool becameSelected) override;
    void OnSubHeaderClicked(int pane, int column) override;

private:
    void LoadDiscards();
    void UpdateDiscardPane();
    void AddCover();
    void EditCover();
    void DeleteCovers();
    void RestoreCovers();
    void RunFilter();
    // "Navrhnout zařazení pro výkaz 2021" over the selected covers.
    void ProposeClassifications();
    void AddDiscard();
    void EditDiscard();
    void DeleteDiscard();
    // Runs the one-page discard wizard on the record and its destination;
    // true on OK.
    bool RunDiscardPage(DiscardRecord& discard, int& destination);
    // The one selected cover, or NoId.
    RecordId SingleSelectedCover() const;
    bool DiscardsEnabled() const;
    // The selected discard's row, or nothing after telling the user to select one.
    std::optional<int> SelectedDiscardRow();

    CoverRegister m_covers;
    CoverFilter m_filter;
    RecordId m_discardsCover = NoId;
};

} // namespace tarvo
