#include "ui/framework/cdlgfindreplace.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/tableview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace tarvo {

CDlgFindReplace::CDlgFindReplace(IMessagePort& messages, QWidget* parent,
                                 std::function<void(int)> showHelp)
    : QDialog(parent), m_messages(messages), m_showHelp(std::move(showHelp)) {
    setWindowTitle(QStringLiteral("Najít a nahradit"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_tabs = new QTabBar(this);
    m_tabs->addTab(QStringLiteral("Najít"));
    m_tabs->addTab(QStringLiteral("Nahradit"));
    m_find = new QComboBox(this);
    m_find->setEditable(true);
    m_find->setInsertPolicy(QComboBox::NoInsert);
    m_replace = new QComboBox(this);
    m_replace->setEditable(true);
    m_replace->setInsertPolicy(QComboBox::NoInsert);
    m_replaceLabel = new QLabel(QStringLiteral("Nahradit:"), this);
    m_column = new QComboBox(this);
    m_part = new QCheckBox(QStringLiteral("jen část"), this);
    m_findNext = new QPushButton(QStringLiteral("Najít &další"), this);
    m_findNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Storno"), this);
    m_replaceOne = new QPushButton(QStringLiteral("Na&hradit"), this);
    m_replaceAll = new QPushButton(QStringLiteral("Nahradit vš&e"), this);
    auto* help = new QPushButton(QStringLiteral("Nápověda"), this);
    help->setEnabled(static_cast<bool>(m_showHelp));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Najít:"), this), 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Oblast hledání:"), this), 2, 0);
    grid->addWidget(m_column, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Porovnat:"), this), 3, 0);
    grid->addWidget(m_part, 3, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addWidget(m_replaceOne);
    buttons->addWidget(m_replaceAll);
    buttons->addStretch();
    buttons->addWidget(help);
    auto* body = new QHBoxLayout;
    body->addLayout(grid, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(body);
    setMinimumWidth(420);

    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0)
            ShowTab(tab);
    });
    connect(m_column, &QComboBox::activated, this, [this] { FillValues(); });
    connect(m_findNext, &QPushButton::clicked, this,
            [this] { Submit(FindReplaceRequest::FindNext); });
    connect(m_replaceOne, &QPushButton::clicked, this,
            [this] { Submit(FindReplaceRequest::ReplaceOne); });
    connect(m_replaceAll, &QPushButton::clicked, this,
            [this] { Submit(FindReplaceRequest::ReplaceAll); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (m_showHelp)
            m_showHelp(help::Find);
    });
    // Storno, Escape and the close box all end here: the dialog goes for
    // good, and the next command makes a new one.
    connect(this, &QDialog::rejected, this, &QObject::deleteLater);
}

bool CDlgFindReplace::event(QEvent* event) {
    // Qt lets a window's shortcuts work from the dialogs it owns. Here the
    // keys belong to the dialog: claiming them before the shortcuts are
    // matched keeps the frame's accelerators quiet, so Enter finds the next
    // match and Ins, Del, Ctrl+T or F5 do nothing to the view behind.
    // Alt with a letter stays free for the dialog's own mnemonics.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool mnemonic = (key->modifiers() & Qt::AltModifier) && !key->text().isEmpty() &&
                              key->text().at(0).isLetterOrNumber();
        if (!mnemonic) {
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

void CDlgFindReplace::keyPressEvent(QKeyEvent* event) {
    // F1, claimed above like every key, reaches the dialog from its fields.
    if (event->key() == Qt::Key_F1 && m_showHelp) {
        m_showHelp(help::Find);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDlgFindReplace::SetTarget(TableView& view) {
    m_target = &view;
    m_columns = view.SearchColumns();
    m_find->setEditText(QString());
    m_replace->setEditText(QString());
    FillColumns(view.SearchColumnOfCurrentCell());
}

int CDlgFindReplace::Tab() const {
    return m_tabs->currentIndex();
}

void CDlgFindReplace::Warn(const char* text, QWidget* focus) {
    m_messages.ShowMessage(text, MsgIcon::Exclamation);
    focus->setFocus();
}

void CDlgFindReplace::FillColumns(int initialColumn) {
    m_column->clear();
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_column->addItem(m_columns[i].label, static_cast<int>(i));
    m_column->setCurrentIndex(
        initialColumn >= 0 && initialColumn < m_column->count() ? initialColumn : -1);
    FillValues();
}

void CDlgFindReplace::FillValues() {
    // Another area keeps what was typed: the user often picks the area after
    // the text.
    const QString find = m_find->currentText();
    const QString replace = m_replace->currentText();
    m_find->clear();
    m_replace->clear();
    const auto restore = qScopeGuard([&] {
        m_find->setEditText(find);
        m_replace->setEditText(replace);
    });
    const int index = m_column->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return;
    const SearchColumn& column = m_columns[static_cast<size_t>(index)];
    std::vector<std::pair<QString, int>> items;
    if (column.codes) {
        for (int code = 0; code < column.codes->size; ++code)
            items.emplace_back(QString::fromStdString(column.codes->Label(code)), code);
    } else if (column.yesNo) {
        items = {{QStringLiteral("ano"), 1}, {QStringLiteral("ne"), 0}};
    }
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return QString::localeAwareCompare(a.first, b.first) < 0;
    });
    for (const auto& [label, code] : items) {
        m_find->addItem(label, code);
        m_replace->addItem(label, code);
    }
    m_find->setCurrentIndex(-1);
    m_replace->setCurrentIndex(-1);
}

void CDlgFindReplace::ShowTab(int tab) {
    const bool replace = tab == 1;
    m_replace->setVisible(replace);
    m_replaceLabel->setVisible(replace);
    m_replaceOne->setVisible(replace);
    m_replaceAll->setVisible(replace);
    m_tabs->setCurrentIndex(replace ? 1 : 0);
}

void CDlgFindReplace::Submit(FindReplaceRequest::Mode mode) {
    TableView* target = m_target.data();
    if (!target)
        target = qobject_cast<TableView*>(parentWidget());
    if (!target)
        return;
    if ((mode != FindReplaceRequest::FindNext) && !m_replaceOne->isVisible())
        return;

    FindReplaceRequest request;
    request.mode = mode;
    request.partMatch = m_part->isChecked();
    const QString findText = m_find->currentText();
    if (findText.isEmpty()) {
        Warn("Zadejte hledaný text.", m_find);
        return;
    }
    if (mode != FindReplaceRequest::FindNext && m_replace->currentText() == findText) {
        Warn("Nová hodnota je stejná jako stará hodnota!", m_replace);
        return;
    }
    const int columnIndex = m_column->currentIndex();
    if (columnIndex < 0) {
        Warn("Vyberte oblast hledání!", m_column);
        return;
    }
    const int listIndex = m_column->itemData(columnIndex).toInt();
    if (listIndex < 0 || listIndex >= static_cast<int>(m_columns.size())) {
        FillColumns(-1);
        return;
    }
    const SearchColumn& column = m_columns[static_cast<size_t>(listIndex)];
    request.field = column.column;
    if (column.codes || column.yesNo) {
        // The typed text must be one of the offered labels.
        const int findIndex = m_find->findText(findText, Qt::MatchExactly);
        if (findIndex < 0) {
            Warn("Není vybrána výchozí hodnota!", m_find);
            return;
        }
        const int findCode = m_find->itemData(findIndex).toInt();
        request.findValue = column.yesNo ? Value(findCode != 0) : Value(int32_t{findCode});
        if (mode != FindReplaceRequest::FindNext) {
            const int replaceIndex =
                m_replace->findText(m_replace->currentText(), Qt::MatchExactly);
            if (replaceIndex < 0) {
                Warn("Není vybrána nová hodnota!", m_replace);
                return;
            }
            const int replaceCode = m_replace->itemData(replaceIndex).toInt();
            request.replaceValue =
                column.yesNo ? Value(replaceCode != 0) : Value(int32_t{replaceCode});
        }
    } else {
        request.findValue = Value(findText.toStdString());
        if (mode != FindReplaceRequest::FindNext)
            request.replaceValue = Value(m_replace->currentText().toStdString());
    }
    target->ExecuteFindReplace(request);
}

} // namespace tarvo
