#pragma once

#include "core/data/recordid.h"

#include <QWizardPage>

namespace tarvo {

struct GuiContext;
class PickerList;

// "Vyberte výrobek": picks the product of a new dispatch product line.
class CPageProd : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageProd(const GuiContext& context, QWidget* parent = nullptr);

    RecordId Product() const { return m_product; }

    void initializePage() override;
    bool validatePage() override;

    PickerList* List() const { return m_list; }

private:
    const GuiContext& m_context;
    RecordId m_product = NoRecord;
    PickerList* m_list;
};

} // namespace tarvo
