#include "ui/framework/localenumber.h"

#include <QLocale>

namespace tarvo {

namespace {

// The program speaks Czech whatever the process locale is (a desktop set to
// English or C would otherwise show a decimal point).
QLocale Czech() {
    return QLocale(QLocale::Czech, QLocale::Czechia);
}

// The typed text as ParseQuantity reads it: groups removed, a decimal point.
std::string PlainNumber(const QString& text) {
    const QLocale locale = Czech();
    QString plain = text.trimmed();
    const QString group = locale.groupSeparator();
    const QString point = locale.decimalPoint();
    if (!group.isEmpty() && group != point) {
        plain.remove(group);
        // Czech groups with a no-break space; people type an ordinary one.
        if (group.at(0).isSpace())
            plain.remove(QLatin1Char(' '));
    }
    plain.replace(locale.negativeSign(), QStringLiteral("-"));
    plain.replace(point, QStringLiteral("."));
    return plain.toStdString();
}

} // namespace

QString QuantityToLocaleText(Quantity value) {
    QString text = QString::fromStdString(QuantityToPlainText(value));
    const QLocale locale = Czech();
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (locale.negativeSign() != QLatin1String("-"))
        text.replace(QLatin1Char('-'), locale.negativeSign());
    return text;
}

std::optional<Quantity> QuantityFromLocaleText(const QString& text) {
    return ParseQuantity(PlainNumber(text));
}

std::string RefusedNumberText(const QString& text) {
    return RefusedQuantityMessage(PlainNumber(text));
}

QString DateText(const OleDate& date) {
    if (!date.IsValid())
        return {};
    return QString::asprintf("%02i.%02i.%i", date.Day(), date.Month(), date.Year());
}

QDate ToQDate(const OleDate& date) {
    if (!date.IsValid())
        return {};
    return QDate(date.Year(), date.Month(), date.Day());
}

OleDate FromQDate(const QDate& date) {
    if (!date.isValid())
        return {};
    return OleDate::FromParts(date.year(), date.month(), date.day());
}

} // namespace tarvo
