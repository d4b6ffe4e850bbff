#include "ui/pages/pickerlist.h"

#include "ui/framework/listmodel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>

namespace tarvo {

PickerList::PickerList(IMessagePort& messages, std::unique_ptr<IRowSource> rows, IdLoader loader,
                       QWidget* parent)
    : RecordList(new ListModel(messages, std::move(rows)), false, parent),
      m_loader(std::move(loader)) {
    SetSortable(false);
    setShowGrid(true);
    horizontalHeader()->setSectionsMovable(true);
}

void PickerList::Fill() {
    if (m_filled)
        return;
    m_filled = true;
    // After an error the list shows the rows read before it.
    Model()->Load(m_loader);
    FitColumns();
    SelectRow(0);
}

namespace {

// Text as the search compares it: lower case, without diacritics.
QString Folded(const QString& text) {
    QString folded;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c.toCaseFolded();
    }
    return folded;
}

} // namespace

void PickerList::SelectMatching(const QString& text) {
    const QString wanted = Folded(text.trimmed());
    int holding = -1;
    for (int row = 0; row < Model()->Count(); ++row) {
        const QString name = Folded(Model()->Cell(row, 0));
        if (name.startsWith(wanted)) {
            SelectRow(row);
            return;
        }
        if (holding < 0 && name.contains(wanted))
            holding = row;
    }
    if (holding >= 0)
        SelectRow(holding);
    else
        ClearSelectionAndFocus();
}

PickerSearch::PickerSearch(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_list)
            m_list->SelectMatching(text);
    });
}

void PickerSearch::SetList(PickerList* list) {
    m_list = list;
    if (m_list && !text().isEmpty())
        m_list->SelectMatching(text());
}

QLayout* PickerSearch::MakeRow() {
    auto* label = new QLabel(QStringLiteral("&Hledat:"), parentWidget());
    label->setBuddy(this);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(this, 1);
    return row;
}

void PickerSearch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (m_list) {
            QApplication::sendEvent(m_list, event);
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

RecordId PickerList::SelectedId() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? NoRecord : Model()->Id(rows.front());
}

} // namespace tarvo
