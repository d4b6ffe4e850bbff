#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/quantity.h"
#endif

#include <QWizardPage>

class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Zadejte množství": the quantity of a dispatch product line.
class CPageQty : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageQty(const GuiContext& context, Quantity quantity = Quantity::FromUnits(1),
                      QWidget* parent = nullptr);

    Quantity Value() const { return m_quantity; }

    void initializePage() override;
    bool validatePage() override;

    QLineEdit* QuantityEdit() const { return m_edit; }

private:
    const GuiContext& m_context;
    Quantity m_quantity;
    bool m_opened = false;
    QLineEdit* m_edit;
};

} // namespace tarvo
