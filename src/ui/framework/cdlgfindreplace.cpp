#include "ui/framework/cdlgfindreplace.h"

#include "app/appglobals.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "ui/framework/ctableview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <strings.h>

namespace tarvo {

namespace {

QPointer<CDlgFindReplace> g_dialog;
// The searchable columns of the view that opened the dialog last, and the
// tab shown last; both live as long as the program.
std::vector<std::string> g_columns;
int g_tab = 0;

QString ColumnLabel(const std::string& column) {
    static const std::pair<const char*, const char*> labels[] = {
        {"cover_name", "Název"},   {"cover_mat", "Materiál"},
        {"cover_type", "Typ"},     {"cover_org", "Původ"},
        {"cover_pay", "Platba"},   {"cover_reusable", "Opakovaně používaný"},
        {"ccover_name", "Název"},  {"ccover_note", "Poznámka"},
        {"prod_name", "Název"},    {"prod_katalog", "Kat. č."},
        {"prod_unit", "Jednotka"}, {"move_num", "Číslo dokumentu"},
        {"move_type", "Typ"},      {"move_export", "Export"},
    };
    for (const auto& [name, label] : labels) {
        if (column == name)
            return QString::fromUtf8(label);
    }
    return QString::fromStdString(column);
}

const CodeList* CodeListOf(const std::string& column) {
    if (column == "cover_mat")
        return &Materials;
    if (column == "cover_type")
        return &CoverTypes;
    if (column == "cover_org")
        return &Origins;
    if (column == "cover_pay")
        return &Payments;
    if (column == "move_type")
        return &MoveTypes;
    return nullptr;
}

bool IsYesNoColumn(const std::string& column) {
    return column == "cover_reusable" || column == "move_export";
}

void Warn(const char* text, QWidget* focus) {
    TheMessages().ShowMessage(text, MsgIcon::Exclamation);
    focus->setFocus();
}

} // namespace

std::string FindReplaceRequest::Criterion() const {
    switch (findValue.GetKind()) {
    case Value::Kind::Bool:
        return Format("%s = %s", field.c_str(), findValue.ToBool() ? "TRUE" : "FALSE");
    case Value::Kind::Text:
        // The text is put in as typed, its apostrophes doubled so that it can
        // never end the literal.
        if (partMatch)
            return Format("%s LIKE '%%%s%%'", field.c_str(),
                          SqlEscape(findValue.ToString()).c_str());
        return Format("%s = '%s'", field.c_str(), SqlEscape(findValue.ToString()).c_str());
    default:
        return Format("%s = %li", field.c_str(), static_cast<long>(findValue.ToLong()));
    }
}

CDlgFindReplace::CDlgFindReplace(QWidget* parent) : QDialog(parent, Qt::Tool) {
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
    // Storno, Escape and the close box all end here: the dialog goes for
    // good, and the next command makes a new one.
    connect(this, &QDialog::rejected, this, &QObject::deleteLater);
}

CDlgFindReplace* CDlgFindReplace::Instance() {
    return g_dialog.data();
}

void CDlgFindReplace::CloseIfOpen() {
    if (g_dialog) {
        CDlgFindReplace* dialog = g_dialog.data();
        g_dialog.clear();
        dialog->close();
    }
}

CDlgFindReplace* CDlgFindReplace::Open(CTableView* view, int tab, std::vector<std::string> columns,
                                       const std::string& initialColumn) {
    g_columns = std::move(columns);
    if (!g_dialog)
        g_dialog = new CDlgFindReplace(view);
    CDlgFindReplace* dialog = g_dialog.data();
    dialog->m_target = view;
    dialog->FillColumns(initialColumn);
    dialog->ShowTab(tab);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->m_find->setFocus();
    return dialog;
}

int CDlgFindReplace::Tab() const {
    return m_tabs->currentIndex();
}

void CDlgFindReplace::FillColumns(const std::string& initialColumn) {
    m_column->clear();
    int selected = -1;
    for (size_t i = 0; i < g_columns.size(); ++i) {
        m_column->addItem(ColumnLabel(g_columns[i]), static_cast<int>(i));
        if (!initialColumn.empty() && strcasecmp(g_columns[i].c_str(), initialColumn.c_str()) == 0)
            selected = static_cast<int>(i);
    }
    m_column->setCurrentIndex(selected);
    FillValues();
}

bool CDlgFindReplace::IsCodedColumn(const std::string& column) const {
    return CodeListOf(column) || IsYesNoColumn(column);
}

void CDlgFindReplace::FillValues() {
    m_find->clear();
    m_replace->clear();
    const int index = m_column->currentIndex();
    if (index < 0 || index >= static_cast<int>(g_columns.size()))
        return;
    const std::string& column = g_columns[static_cast<size_t>(index)];
    std::vector<std::pair<QString, int>> items;
    if (const CodeList* list = CodeListOf(column)) {
        for (int code = 0; code < list->size; ++code)
            items.emplace_back(QString::fromStdString(list->Label(code)), code);
    } else if (IsYesNoColumn(column)) {
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
    g_tab = replace ? 1 : 0;
    m_tabs->setCurrentIndex(g_tab);
}

void CDlgFindReplace::Submit(FindReplaceRequest::Mode mode) {
    CTableView* target = m_target.data();
    if (!target)
        target = qobject_cast<CTableView*>(parentWidget());
    if (!target)
        return;
    if ((mode != FindReplaceRequest::FindNext) && !m_replaceOne->isVisible())
        return;

    FindReplaceRequest request;
    request.mode = mode;
    request.partMatch = m_part->isChecked();
    const QString findText = m_find->currentText();
    if (findText.isEmpty()) {
        Warn("Není zadána výchozí hodnota!", m_find);
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
    if (listIndex < 0 || listIndex >= static_cast<int>(g_columns.size())) {
        FillColumns({});
        return;
    }
    request.field = g_columns[static_cast<size_t>(listIndex)];
    if (IsCodedColumn(request.field)) {
        // The typed text must be one of the offered labels.
        const int findIndex = m_find->findText(findText, Qt::MatchExactly);
        if (findIndex < 0) {
            Warn("Není vybrána výchozí hodnota!", m_find);
            return;
        }
        const int findCode = m_find->itemData(findIndex).toInt();
        const bool yesNo = IsYesNoColumn(request.field);
        request.findValue = yesNo ? Value(findCode != 0) : Value(int32_t{findCode});
        if (mode != FindReplaceRequest::FindNext) {
            const int replaceIndex =
                m_replace->findText(m_replace->currentText(), Qt::MatchExactly);
            if (replaceIndex < 0) {
                Warn("Není vybrána nová hodnota!", m_replace);
                return;
            }
            const int replaceCode = m_replace->itemData(replaceIndex).toInt();
            request.replaceValue = yesNo ? Value(replaceCode != 0) : Value(int32_t{replaceCode});
        }
    } else {
        request.findValue = Value(findText.toStdString());
        if (mode != FindReplaceRequest::FindNext)
            request.replaceValue = Value(m_replace->currentText().toStdString());
    }
    target->ExecuteFindReplace(request);
}

} // namespace tarvo
