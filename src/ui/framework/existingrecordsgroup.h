#pragma once

#include "core/import/importframework.h"

#include <QGroupBox>

class QRadioButton;

namespace tarvo {

// "Existující záznamy": what an import does with a record it imported before.
class ExistingRecordsGroup : public QGroupBox {
    Q_OBJECT
public:
    ExistingRecordsGroup(ExistingMode mode, QWidget* parent);

    ExistingMode Mode() const;
    QRadioButton* Button(ExistingMode mode) const { return m_buttons[static_cast<int>(mode)]; }

private:
    QRadioButton* m_buttons[3];
};

} // namespace tarvo
