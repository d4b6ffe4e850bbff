#pragma once

#include "core/data/recordid.h"

#include <QWizardPage>

namespace tarvo {

struct GuiContext;
class PickerList;
class PickerSearch;
class CPageQty;

// "Vyberte produkt": picks the product of a new dispatch product line.
class CPageProd : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageProd(const GuiContext& context, QWidget* parent = nullptr);

    RecordId Product() const { return m_product; }
    // The quantity page after it, told the product chosen.
    void Link(CPageQty* page) { m_linkedQty = page; }

    void initializePage() override;
    bool validatePage() override;

    PickerList* List() const { return m_list; }
    PickerSearch* Search() const { return m_search; }

private:
    const GuiContext& m_context;
    RecordId m_product = NoRecord;
    PickerList* m_list;
    PickerSearch* m_search;
    CPageQty* m_linkedQty = nullptr;
};

} // namespace tarvo
