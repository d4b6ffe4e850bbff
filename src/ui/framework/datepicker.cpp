#include "ui/framework/datepicker.h"

#include "ui/framework/localenumber.h"

#include <QDateEdit>

namespace tarvo {

QDateEdit* MakeDatePicker(QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    picker->setMinimumDate(QDate(100, 1, 1));
    return picker;
}

void ShowDate(QDateEdit* picker, const OleDate& date) {
    picker->setDate(ToQDate(date.IsValid() ? date : OleDate::Today()));
}

OleDate PickedDate(const QDateEdit* picker, const OleDate& before) {
    const QDate day = picker->date();
    if (!before.IsValid())
        return OleDate::FromParts(day.year(), day.month(), day.day());
    return OleDate::FromParts(day.year(), day.month(), day.day(), before.Hour(), before.Minute(),
                              before.Second());
}

} // namespace tarvo
