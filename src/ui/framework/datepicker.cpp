#include "ui/framework/datepicker.h"

#include "core/ports/messageport.h"
#include "ui/framework/localenumber.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace tarvo {

namespace {

// The day a picker need not ask about: the one it was given or the one the
// user confirmed.
constexpr const char* AcceptedDayProperty = "tarvoAcceptedDay";

} // namespace

void DateField::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool digit = text.size() == 1 && text.at(0).isDigit();
    if (m_typed.isNull() && digit && lineEdit()->hasSelectedText() &&
        lineEdit()->selectedText() == lineEdit()->text()) {
        m_before = date();
        m_typed = QLatin1String("");
    }
    if (m_typed.isNull()) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    if (digit || text == QLatin1String(".")) {
        m_typed += text;
        lineEdit()->setText(m_typed);
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        m_typed.chop(1);
        lineEdit()->setText(m_typed);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        EndTyping(false);
        return;
    }
    EndTyping(true);
    QDateEdit::keyPressEvent(event);
}

void DateField::focusInEvent(QFocusEvent* event) {
    QDateEdit::focusInEvent(event);
    // Reached by the keyboard, the whole date is selected, ready to be typed
    // over.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason)
        selectAll();
}

void DateField::focusOutEvent(QFocusEvent* event) {
    if (!m_typed.isNull())
        EndTyping(true);
    QDateEdit::focusOutEvent(event);
}

void DateField::EndTyping(bool keep) {
    static const QRegularExpression day(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QRegularExpressionMatch match = day.match(m_typed);
    m_typed = QString();
    const QDate typed =
        keep && match.hasMatch()
            ? QDate(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt())
            : QDate();
    setDate(typed.isValid() && typed >= minimumDate() ? typed : m_before);
    // The box may still show what was typed when the day did not change.
    lineEdit()->setText(date().toString(displayFormat()));
}

QDateEdit* MakeDatePicker(QWidget* parent) {
    auto* picker = new DateField(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    picker->setMinimumDate(QDate(100, 1, 1));
    return picker;
}

void ShowDate(QDateEdit* picker, const OleDate& date) {
    picker->setDate(ToQDate(date.IsValid() ? date : OleDate::Today()));
    picker->setProperty(AcceptedDayProperty, picker->date());
}

OleDate PickedDate(const QDateEdit* picker, const OleDate& before) {
    const QDate day = picker->date();
    if (!before.IsValid())
        return OleDate::FromParts(day.year(), day.month(), day.day());
    return OleDate::FromParts(day.year(), day.month(), day.day(), before.Hour(), before.Minute(),
                              before.Second());
}

bool ConfirmUnusualDate(QDateEdit* picker, IMessagePort& messages) {
    const QDate day = picker->date();
    if (picker->property(AcceptedDayProperty).toDate() == day)
        return true;
    const std::optional<std::string> question = UnusualDateQuestion(FromQDate(day), OleDate::Now());
    if (question && !messages.AskYesNo(*question)) {
        picker->setFocus();
        picker->selectAll();
        return false;
    }
    picker->setProperty(AcceptedDayProperty, day);
    return true;
}

} // namespace tarvo
