#include "app/qtmessageport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tarvo {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessagePort::ShowMessage(const std::string& text, MsgIcon icon) {
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Tarvo"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool QtMessagePort::AskYesNo(const std::string& text, MsgIcon icon) {
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Tarvo"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

OverwriteAnswer QtMessagePort::AskOverwrite(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tarvo"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
    QPushButton* yesAll = box.addButton(QStringLiteral("Ano &všem"), QMessageBox::YesRole);
    QPushButton* noAll = box.addButton(QStringLiteral("Ne vše&m"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == yes)
        return OverwriteAnswer::Yes;
    if (clicked == yesAll)
        return OverwriteAnswer::YesToAll;
    if (clicked == noAll)
        return OverwriteAnswer::NoToAll;
    return OverwriteAnswer::No;
}

} // namespace tarvo
