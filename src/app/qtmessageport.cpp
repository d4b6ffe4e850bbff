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
