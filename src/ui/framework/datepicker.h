#pragma once

#include "core/data/oledate.h"

#include <QDate>
#include <QDateEdit>
#include <QString>

namespace tarvo {

class IMessagePort;

// The program's date field. Typing a digit over the whole date (selected by
// Tab, a double click or Ctrl+A) starts the date anew: "31.12.2026" typed
// there gives that day, where the sections of QDateEdit would merge it with
// the old date. Enter, Tab, another key or leaving the field take the typed
// day; Escape, or a text that is no day, keeps the old one.
class DateField : public QDateEdit {
    Q_OBJECT
public:
    using QDateEdit::QDateEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void EndTyping(bool keep);

    QString m_typed; // null: not typing
    QDate m_before;
};

// A date field with a calendar that shows the day with a four-digit year
// ("d.M.yyyy"): the locale's short format has two digits, which cannot tell
// 1925 from 2025.
QDateEdit* MakeDatePicker(QWidget* parent);
// Shows the day of a date (today for an invalid one).
void ShowDate(QDateEdit* picker, const OleDate& date);
// The day picked, at the time of day the date had before: the picker shows
// days only, the stored value keeps its time.
OleDate PickedDate(const QDateEdit* picker, const OleDate& before);
// Before a record is kept: a picked day that is most likely a slip (before
// 1990, more than a year ahead) is asked about once; the day ShowDate showed
// and a day confirmed already are not. False when the user says No (the
// field then has the focus).
bool ConfirmUnusualDate(QDateEdit* picker, IMessagePort& messages);

} // namespace tarvo
