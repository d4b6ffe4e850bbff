#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/import/importframework.h"
#endif

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
