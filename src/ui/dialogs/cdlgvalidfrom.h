#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/oledate.h"
#endif

#include <QDialog>

class QDateEdit;

namespace tarvo {

// "Definice časové platnosti": the first day of a packaging definition.
class CDlgValidFrom : public QDialog {
    Q_OBJECT
public:
    explicit CDlgValidFrom(OleDate date = OleDate::Now(), QWidget* parent = nullptr);

    // The date picked after OK, at the time of day the date handed in had.
    OleDate Date() const { return m_date; }

    void accept() override;

    QDateEdit* DatePicker() const { return m_picker; }

private:
    OleDate m_date;
    QDateEdit* m_picker;
};

} // namespace tarvo
