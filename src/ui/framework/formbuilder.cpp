#include "ui/framework/formbuilder.h"

#include "ui/framework/guicontext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

namespace tarvo {

int TitleWidth(const QWidget* window) {
    // Title bars use a bold font of about the window's size; the icon and the
    // three buttons of the bar take the rest.
    QFont bold = window->font();
    bold.setBold(true);
    constexpr int TitleBarControls = 130;
    return QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + TitleBarControls;
}

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

// Keeps a small dialog at least as wide as its title needs: the window
// manager cuts a title longer than the window ("Definice časové platn…").
// Measured when the dialog is shown, as some dialogs name themselves late.
class TitleWidthKeeper : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* dialog = static_cast<QDialog*>(watched);
            dialog->setMinimumWidth(std::max(dialog->minimumWidth(), TitleWidth(dialog)));
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, const GuiContext& context, int helpContext) {
    dialog->installEventFilter(new TitleWidthKeeper(dialog));
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    if (helpContext > 0)
        buttons->addButton(MakeHelpButton(dialog, context, helpContext),
                           QDialogButtonBox::HelpRole);
    return buttons;
}

QPushButton* MakeHelpButton(QDialog* dialog, const GuiContext& context, int helpContext) {
    auto* help = new QPushButton(QStringLiteral("Nápověda"), dialog);
    help->setAutoDefault(false);
    help->setEnabled(static_cast<bool>(context.showHelp));
    const auto show = [&context, helpContext] {
        if (context.showHelp)
            context.showHelp(helpContext);
    };
    QObject::connect(help, &QPushButton::clicked, dialog, show);
    // The frame's F1 does not reach a modal dialog: the dialog has its own,
    // which does what its "Nápověda" button does.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(f1, &QShortcut::activated, dialog, show);
    return help;
}

} // namespace tarvo
