#pragma once

#include "core/data/recordid.h"

#include <QWizardPage>

namespace tarvo {

struct GuiContext;
class CPickerList;

// "Vyberte výrobek": picks the product of a new dispatch product line.
class CPageProd : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageProd(const GuiContext& context, QWidget* parent = nullptr);

    RecordId Product() const { return m_product; }

    void initializePage() override;
    bool validatePage() override;

    CPickerList* List() const { return m_list; }

private:
    const GuiContext& m_context;
    RecordId m_product = NoRecord;
    CPickerList* m_list;
};

} // namespace tarvo
