#pragma once

#include "core/registers/prodfilter.h"
#include "core/registers/productregister.h"
#include "ui/framework/tableview.h"

namespace tarvo {

// The products table: the products that are not deleted on the left; on the
// right the packaging definitions of the one selected product by their first
// day ("Platné od", oldest first, the newest selected) and below them the
// packaging lines of the selected definition. With several products selected
// both right lists are disabled.
class CViewProd : public TableView {
    Q_OBJECT
public:
    explicit CViewProd(const GuiContext& context, QWidget* parent = nullptr);

    void OnNotify(ViewNotification what) override;

    std::vector<SearchColumn> SearchColumns() const override;
    int SearchColumnOf(int listColumn) const override;
    std::string MainTable() const override { return "Product"; }
    std::string MainIdColumn() const override { return "prod_id"; }

    const ProdFilter& Filter() const { return m_filter; }
    RecordList* DateList() const { return SubList(1); }
    RecordList* LineList() const { return SubList(2); }

protected:
    // Room for every column of the packaging lines (cover, quantities,
    // codes), up to half the view.
    int DefaultRightPaneWidth() const override;
    void LoadMainList(RecordId selectId = NoId) override;
    void OnMainSelectionChanged(bool becameSelected) override;
    void OnSubSelectionChanged(int pane, bool becameSelected) override;
    void OnSubHeaderClicked(int pane, int column) override;

private:
    // The register of one user action; its long re-derivations show the
    // progress window.
    ProductRegister Register(IProgressPort& progress);
    // The one selected product, or NoId (none or several).
    RecordId SingleProduct() const;
    bool RightPaneEnabled() const;
    void UpdateRightPane();
    void LoadDates();
    void LoadLines(RecordId selectId = NoId);
    // The first selected row of a list, or -1.
    static int SelectedRow(const RecordList* list);

    void AddProduct();
    void EditProduct();
    void DeleteProducts();
    void RestoreProducts();
    void RunFilter();
    void AssignCovers();
    void AddDefinition();
    void EditDefinition();
    void DeleteDefinition();
    void AddLine();
    void EditLine();
    void DeleteLine();

    ProdFilter m_filter;
    // The product whose definitions the date list shows, or NoId.
    RecordId m_datesProduct = NoId;
};

} // namespace tarvo
