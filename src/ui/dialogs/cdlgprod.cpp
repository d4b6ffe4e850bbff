#include "ui/dialogs/cdlgprod.h"

#include "core/ports/messageport.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvo {

namespace {

constexpr int HelpProduct = 5;

QString TrimmedRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

QLineEdit* Edit(QWidget* owner, const std::string& text, int limit) {
    auto* edit = new QLineEdit(owner);
    edit->setMaxLength(limit);
    edit->setText(QString::fromStdString(text));
    return edit;
}

} // namespace

CDlgProd::CDlgProd(const GuiContext& context, ProductRecord record, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(std::move(record)) {
    setWindowTitle(QStringLiteral("Detail produktu"));
    // The limits are the widths of the columns.
    m_name = Edit(this, m_record.name, 50);
    m_katalog = Edit(this, m_record.katalog, 20);
    m_unit = Edit(this, m_record.unit, 10);
    FormGrid form(this);
    form.AddRow(QStringLiteral("&Název:"), m_name);
    form.AddRow(QStringLiteral("&Katalogové číslo:"), m_katalog);
    form.AddRow(QStringLiteral("&Měrná jednotka:"), m_unit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(MakeDialogButtons(this, context, HelpProduct));
}

void CDlgProd::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_name->setFocus();
    m_name->selectAll();
}

void CDlgProd::accept() {
    const QString name = TrimmedRight(m_name->text());
    const QString katalog = TrimmedRight(m_katalog->text());
    if (name.isEmpty() && katalog.isEmpty()) {
        m_context.messages.ShowMessage("Musíte zadat jméno nebo katalog!", MsgIcon::Exclamation);
        m_name->setFocus();
        return;
    }
    m_record.name = name.toStdString();
    m_record.katalog = katalog.toStdString();
    m_record.unit = m_unit->text().toStdString();
    QDialog::accept();
}

} // namespace tarvo
