#include "ui/framework/formbuilder.h"

#include "ui/framework/guicontext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace tarvo {

FormGrid::FormGrid(QWidget* owner) : m_owner(owner), m_grid(new QGridLayout) {
    m_grid->setColumnStretch(1, 1);
}

QLabel* FormGrid::AddRow(const QString& label, QWidget* field, QWidget* unit) {
    auto* text = new QLabel(label, m_owner);
    text->setBuddy(field);
    m_grid->addWidget(text, m_row, 0);
    m_grid->addWidget(field, m_row, 1, 1, unit ? 1 : 2);
    if (unit)
        m_grid->addWidget(unit, m_row, 2);
    ++m_row;
    return text;
}

void FormGrid::AddUnderFields(QWidget* widget) {
    m_grid->addWidget(widget, m_row++, 1, 1, 2);
}

void FormGrid::AddUnderFields(QWidget* widget, QWidget* right) {
    m_grid->addWidget(widget, m_row, 1);
    m_grid->addWidget(right, m_row++, 2, Qt::AlignRight);
}

void FormGrid::AddAcross(QWidget* widget) {
    m_grid->addWidget(widget, m_row++, 0, 1, 3);
}

namespace {

QDialogButtonBox* OkAndReject(QDialog* dialog, const QString& reject) {
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(reject, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog) {
    return OkAndReject(dialog, QStringLiteral("Cancel"));
}

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, const GuiContext& context, int helpContext) {
    QDialogButtonBox* buttons = OkAndReject(dialog, QStringLiteral("Storno"));
    if (helpContext > 0) {
        QPushButton* help =
            buttons->addButton(QStringLiteral("Nápověda"), QDialogButtonBox::HelpRole);
        help->setEnabled(static_cast<bool>(context.showHelp));
    }
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, dialog, [&context, helpContext] {
        if (context.showHelp)
            context.showHelp(helpContext);
    });
    if (helpContext > 0 && context.showHelp) {
        // The frame's F1 does not reach a modal dialog: the dialog has its own,
        // which does what its "Nápověda" button does.
        auto* f1 = new QShortcut(QKeySequence::HelpContents, dialog);
        QObject::connect(f1, &QShortcut::activated, buttons, &QDialogButtonBox::helpRequested);
    }
    return buttons;
}

} // namespace tarvo
