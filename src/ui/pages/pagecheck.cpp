#include "ui/pages/pagecheck.h"

#include "core/ports/messageport.h"
#include "ui/framework/localenumber.h"

#include <QLineEdit>

namespace tarvo {

void Refuse(IMessagePort& messages, const char* text, QWidget* field) {
    messages.ShowMessage(text, MsgIcon::Exclamation);
    if (auto* box = qobject_cast<QLineEdit*>(field))
        FocusAll(box);
    else
        field->setFocus();
}

void FocusAll(QLineEdit* box) {
    box->setFocus();
    box->selectAll();
}

std::optional<Quantity> ReadNumber(IMessagePort& messages, QLineEdit* box) {
    std::optional<Quantity> value = QuantityFromLocaleText(box->text());
    if (!value)
        Refuse(messages, RefusedNumberText(box->text()).c_str(), box);
    return value;
}

} // namespace tarvo
