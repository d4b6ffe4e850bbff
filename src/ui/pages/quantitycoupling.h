#pragma once

#include "core/data/quantity.h"

#include <QObject>

class QLineEdit;

namespace tarvo {

// Couples a quantity box and a weight box through a cover's unit weight:
// typing a quantity writes quantity × unit weight into the weight box, typing
// a weight writes weight ÷ unit weight into the quantity box (both truncated,
// in the locale's number format). Only typing couples, so the written value
// does not start the reverse computation. With a unit weight of 0 the two
// boxes are independent.
class QuantityCoupling : public QObject {
    Q_OBJECT
public:
    QuantityCoupling(QLineEdit* quantity, QLineEdit* weight, QObject* parent);

    void SetUnitWeight(Quantity unitWeight) { m_unitWeight = unitWeight; }
    Quantity UnitWeight() const { return m_unitWeight; }
    // Writes both boxes without coupling them.
    void Show(Quantity quantity, Quantity weight);

private:
    void OnQuantityEdited();
    void OnWeightEdited();

    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    Quantity m_unitWeight = Quantity::FromUnits(0);
};

} // namespace tarvo
