#include "ui/framework/existingrecordsgroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

ExistingRecordsGroup::ExistingRecordsGroup(ExistingMode mode, QWidget* parent)
    : QGroupBox(QStringLiteral("Existující záznamy"), parent) {
    // In the order of the stored codes 0, 1, 2.
    const char* const texts[3] = {"přepsat importovanými údaji", "nepřepisovat",
                                  "u každého záznamu se dotázat"};
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QRadioButton(QString::fromUtf8(texts[i]), this);
        layout->addWidget(m_buttons[i]);
    }
    Button(mode)->setChecked(true);
}

ExistingMode ExistingRecordsGroup::Mode() const {
    for (int i = 0; i < 3; ++i) {
        if (m_buttons[i]->isChecked())
            return static_cast<ExistingMode>(i);
    }
    return ExistingMode::Skip;
}

} // namespace tarvo
