#pragma once

#include "core/data/oledate.h"

class QDateEdit;
class QWidget;

namespace tarvo {

// A date picker with a calendar that shows the day with a four-digit year
// ("d.M.yyyy"): the locale's short format has two digits, which cannot tell
// 1925 from 2025.
QDateEdit* MakeDatePicker(QWidget* parent);
// Shows the day of a date (today for an invalid one).
void ShowDate(QDateEdit* picker, const OleDate& date);
// The day picked, at the time of day the date had before: the picker shows
// days only, the stored value keeps its time.
OleDate PickedDate(const QDateEdit* picker, const OleDate& before);

} // namespace tarvo
