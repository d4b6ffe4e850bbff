#include "app/qtmessageport.h"

#include "ui/dialogs/cdlgoverwrite.h"

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

bool Ask(const std::string& text, MsgIcon icon, bool yesByDefault) {
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Tarvo"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
    box.setDefaultButton(yesByDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

void QtMessagePort::ShowMessage(const std::string& text, MsgIcon icon) {
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Tarvo"), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool QtMessagePort::AskYesNo(const std::string& text, MsgIcon icon) {
    return Ask(text, icon, true);
}

bool QtMessagePort::AskYesNoDefaultNo(const std::string& text) {
    return Ask(text, MsgIcon::Question, false);
}

OverwriteAnswer QtMessagePort::AskOverwrite(const std::string& text) {
    CDlgOverwrite dialog(QString::fromStdString(text), QApplication::activeWindow());
    switch (dialog.exec()) {
    case CDlgOverwrite::Yes:
        return OverwriteAnswer::Yes;
    case CDlgOverwrite::YesToAll:
        return OverwriteAnswer::YesToAll;
    case CDlgOverwrite::NoToAll:
        return OverwriteAnswer::NoToAll;
    default: // "&Ne", Escape and the close box
        return OverwriteAnswer::No;
    }
}

} // namespace tarvo
