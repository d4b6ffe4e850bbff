#include "ui/framework/codecombo.h"

#include "core/data/codelists.h"

namespace tarvo::codecombo {

void Fill(QComboBox* combo, const CodeList& list, const std::vector<int>& order, int value) {
    combo->clear();
    for (int code : order)
        combo->addItem(QString::fromStdString(list.Label(code)), code);
    Select(combo, value);
}

void FillAll(QComboBox* combo, const CodeList& list, int value) {
    std::vector<int> order;
    for (int code = 0; code < list.size; ++code)
        order.push_back(code);
    Fill(combo, list, order, value);
}

void Select(QComboBox* combo, int value) {
    combo->setCurrentIndex(combo->findData(value));
}

int Selected(const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index < 0 ? -1 : combo->itemData(index).toInt();
}

QComboBox* Make(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setMaxVisibleItems(16);
    return combo;
}

} // namespace tarvo::codecombo
