#include "ui/pages/cpageqty.h"

#include "core/registers/pickerrows.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/localenumber.h"
#include "ui/pages/pagecheck.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvo {

CPageQty::CPageQty(const GuiContext& context, MoveLineRecord record, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_record(record), m_edit(new QLineEdit(this)),
      m_caption(new QLabel(this)) {
    setTitle(QStringLiteral("Zadejte množství"));
    FormGrid form(this);
    form.AddAcross(m_caption);
    form.AddRow(QStringLiteral("Množství"), m_edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addStretch();
}

void CPageQty::initializePage() {
    if (!m_opened) {
        m_opened = true;
        if (!m_record.quantity.IsValid())
            m_record.quantity = Quantity::FromUnits(1);
        m_edit->setText(QuantityToLocaleText(m_record.quantity));
    }
    m_caption->setText(QString::fromStdString(
        ProductCaption(m_context.store, m_record.product).value_or(std::string())));
    FocusAll(m_edit);
}

bool CPageQty::validatePage() {
    const std::optional<Quantity> quantity = ReadNumber(m_context.messages, m_edit);
    if (!quantity)
        return false;
    m_record.quantity = *quantity;
    if (quantity->Scaled() <= 0) {
        Refuse(m_context.messages, "Množství musí být větší než 0!", m_edit);
        return false;
    }
    return true;
}

} // namespace tarvo
