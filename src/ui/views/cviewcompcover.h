#pragma once

#include "core/registers/compcoverfilter.h"
#include "core/registers/compcoverregister.h"
#include "ui/dialogs/cdlgcompcover.h"
#include "ui/framework/tableview.h"

namespace tarvo {

// The item editor of the composite cover editor: the cover picker (simple
// covers only) and the packaging line page for a new item, the line page
// alone for a stored one.
CoverItemEditor CoverItemWizard(const GuiContext& context);

// The composite covers table: one list of composite covers, with no right
// pane. Adding, editing and deleting go through the composite cover editor
// and the composite covers register.
class CViewCompCover : public TableView {
    Q_OBJECT
public:
    explicit CViewCompCover(const GuiContext& context, QWidget* parent = nullptr);

    std::vector<SearchColumn> SearchColumns() const override;
    int SearchColumnOf(int listColumn) const override;
    std::string MainTable() const override { return "CompCover"; }
    std::string MainIdColumn() const override { return "ccover_id"; }

    const CompCoverFilter& Filter() const { return m_filter; }

protected:
    void LoadMainList(RecordId selectId = NoId) override;

private:
    void AddCompCover();
    void EditCompCover();
    void DeleteCompCovers();
    void RunFilter();

    CompCoverRegister m_compCovers;
    CompCoverFilter m_filter;
};

} // namespace tarvo
