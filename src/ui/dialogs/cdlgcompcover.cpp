#include "ui/dialogs/cdlgcompcover.h"

#include "core/ports/messageport.h"
#include "core/registers/compcoverrows.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commands.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/icons.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal!";

bool IsItemKey(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Insert || key->key() == Qt::Key_Delete) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

CDlgCompCover::CDlgCompCover(const GuiContext& context, CoverItemEditor editItem, RecordId id,
                             CompCoverRecord record, QWidget* parent)
    : QDialog(parent), m_context(context), m_editItem(std::move(editItem)), m_id(id),
      m_record(std::move(record)), m_register(context.store) {
    setWindowTitle(QStringLiteral("Detail složeného obalu"));
    m_name = new QLineEdit(this);
    m_name->setMaxLength(50);
    m_note = new QLineEdit(this);
    m_note->setMaxLength(255);
    m_items = new RecordList(new ListModel(context.messages, MakeCoverItemRows(context.store)),
                             false, this);
    // The items stand in the order of their cover's name; the headers sort
    // nothing.
    m_items->horizontalHeader()->setSectionsClickable(false);
    m_items->horizontalHeader()->setSortIndicatorShown(false);
    m_items->setMinimumSize(760, 180);

    FormGrid form(this);
    form.AddRow(QStringLiteral("&Název:"), m_name);
    form.AddRow(QStringLiteral("&Poznámka:"), m_note);

    auto* itemsLabel = new QLabel(QStringLiteral("&Složení:"), this);
    itemsLabel->setBuddy(m_items);
    const struct {
        int command;
        QIcon icon;
    } itemButtons[] = {
        {cmd::Add, icons::Add()}, {cmd::Edit, icons::Edit()}, {cmd::Delete, icons::Delete()}};
    auto* buttonColumn = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new CIconButton(itemButtons[i].command, itemButtons[i].icon, this);
        m_buttons[i]->setToolTip(ToolTip(Command(itemButtons[i].command)));
        connect(m_buttons[i], &CIconButton::clicked, this,
                [this, command = itemButtons[i].command] { RunCommand(command); });
        buttonColumn->addWidget(m_buttons[i]);
    }
    buttonColumn->addStretch(1);
    auto* itemsRow = new QHBoxLayout;
    itemsRow->addWidget(m_items, 1);
    itemsRow->addLayout(buttonColumn);

    connect(m_items, &RecordList::rowActivated, this, [this] { EditItem(); });
    connect(m_items, &RecordList::contextMenuRequested, this,
            [this](int row, const QPoint& globalPos) {
                QMenu menu(this);
                FillRecordMenu(menu, RecordMenu::InDialog, {row >= 0, true},
                               [this](int command) { RunCommand(command); });
                menu.exec(globalPos);
            });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(itemsLabel);
    layout->addLayout(itemsRow, 1);
    layout->addWidget(MakeDialogButtons(this, m_context, help::CompCover));

    // Insert and Delete belong to the item list wherever the focus is.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool CDlgCompCover::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsItemKey(key)) {
            // Claiming the override keeps an edit box from treating the key as
            // its own; the press that follows runs the item command.
            event->accept();
            if (event->type() == QEvent::KeyPress)
                RunCommand(key->key() == Qt::Key_Insert ? cmd::Add : cmd::Delete);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDlgCompCover::RunCommand(int command) {
    switch (command) {
    case cmd::Add:
        AddItem();
        break;
    case cmd::Edit:
        EditItem();
        break;
    case cmd::Delete:
        DeleteItem();
        break;
    default:
        break;
    }
}

int CDlgCompCover::exec() {
    if (!m_register.BeginEditing(m_id))
        return Rejected;
    m_name->setText(QString::fromStdString(m_record.name));
    m_note->setText(QString::fromStdString(m_record.note));
    FillItems();
    m_items->FitColumns();
    m_name->setFocus();
    m_name->selectAll();
    return QDialog::exec();
}

void CDlgCompCover::FillItems() {
    m_items->Model()->Load([this](IdList& ids) { return LoadCoverItemIds(m_context.store, ids); });
    if (m_items->Model()->Count() > 0)
        m_items->SelectRow(0);
}

void CDlgCompCover::Warn(const char* text, QWidget* focus) {
    m_context.messages.ShowMessage(text, MsgIcon::Exclamation);
    focus->setFocus();
}

int CDlgCompCover::SelectedRow() {
    const std::vector<int> rows = m_items->SelectedRows();
    if (rows.empty()) {
        m_context.messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return -1;
    }
    return rows.front();
}

void CDlgCompCover::AddItem() {
    const std::optional<CoverLine> line = m_editItem(this, std::nullopt);
    if (line && m_register.AddItem(*line))
        FillItems();
}

void CDlgCompCover::EditItem() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const RecordId itemId = m_items->Model()->Id(row);
    const ReadResult<CoverLine> read = m_register.ReadItem(itemId);
    if (read.outcome == Outcome::Vanished)
        m_items->Model()->RemoveRow(row);
    if (!read)
        return;
    const std::optional<CoverLine> line = m_editItem(this, *read);
    if (!line)
        return;
    switch (m_register.UpdateItem(itemId, *line)) {
    case Outcome::Vanished:
        m_items->Model()->RemoveRow(row);
        break;
    case Outcome::Done:
        FillItems();
        break;
    default:
        break;
    }
}

void CDlgCompCover::DeleteItem() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (m_register.DeleteItem(m_items->Model()->Id(row)) == Outcome::Done)
        m_items->Model()->RemoveRow(row);
}

void CDlgCompCover::accept() {
    // The name is kept without its leading blanks; trailing ones stay.
    QString name = m_name->text();
    qsizetype start = 0;
    while (start < name.size() && name.at(start).isSpace())
        ++start;
    name.remove(0, start);
    if (name.isEmpty()) {
        Warn("Není zadáno jméno!", m_name);
        return;
    }
    if (m_items->Model()->Count() == 0) {
        Warn("Není vybrán žádný obal!", m_items);
        return;
    }
    m_record.name = name.toStdString();
    m_record.note = m_note->text().toStdString();
    QDialog::accept();
}

} // namespace tarvo
