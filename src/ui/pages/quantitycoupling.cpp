#include "ui/pages/quantitycoupling.h"

#include "ui/framework/localenumber.h"

#include <QLineEdit>

namespace tarvo {

QuantityCoupling::QuantityCoupling(QLineEdit* quantity, QLineEdit* weight, QObject* parent)
    : QObject(parent), m_quantity(quantity), m_weight(weight) {
    // textEdited comes only from typing, never from setText().
    connect(m_quantity, &QLineEdit::textEdited, this, &QuantityCoupling::OnQuantityEdited);
    connect(m_weight, &QLineEdit::textEdited, this, &QuantityCoupling::OnWeightEdited);
}

void QuantityCoupling::Show(Quantity quantity, Quantity weight) {
    m_quantity->setText(QuantityToLocaleText(quantity));
    m_weight->setText(QuantityToLocaleText(weight));
}

void QuantityCoupling::OnQuantityEdited() {
    if (m_unitWeight.Scaled() <= 0)
        return;
    if (const std::optional<Quantity> quantity = QuantityFromLocaleText(m_quantity->text()))
        m_weight->setText(QuantityToLocaleText(CurMul(*quantity, m_unitWeight)));
}

void QuantityCoupling::OnWeightEdited() {
    if (m_unitWeight.Scaled() <= 0)
        return;
    if (const std::optional<Quantity> weight = QuantityFromLocaleText(m_weight->text()))
        m_quantity->setText(QuantityToLocaleText(CurDiv(*weight, m_unitWeight)));
}

} // namespace tarvo
