#include "ui/dialogs/cdlgoptions.h"

#include "ui/framework/formbuilder.h"
#include "ui/framework/helpcontexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CDlgOptions::CDlgOptions(const GuiContext& context, PropagationSwitches switches, QWidget* parent)
    : QDialog(parent), m_switches(switches) {
    setWindowTitle(QStringLiteral("Možnosti "));
    m_boxes[0] = new QCheckBox(
        QStringLiteral("provést změnu také do složených obalů obsahujících daný obal"), this);
    m_boxes[1] = new QCheckBox(
        QStringLiteral("provést změnu také do balení produktů obsahujících daný obal"), this);
    m_boxes[2] =
        new QCheckBox(QStringLiteral("provést změnu také do výdejů obsahujících daný obal"), this);
    m_boxes[3] = new QCheckBox(
        QStringLiteral("provést změnu také do výdejů obsahujících daný produkt"), this);
    m_boxes[0]->setChecked(switches.coverToCompCovers);
    m_boxes[1]->setChecked(switches.coverToPackaging);
    m_boxes[2]->setChecked(switches.coverToDispatches);
    m_boxes[3]->setChecked(switches.packagingToDispatches);

    auto* coverGroup =
        new QGroupBox(QStringLiteral("Při změně definice obalu (typu, původu nebo platby)"), this);
    auto* coverLayout = new QVBoxLayout(coverGroup);
    for (int i = 0; i < 3; ++i)
        coverLayout->addWidget(m_boxes[i]);
    auto* packagingGroup = new QGroupBox(
        QStringLiteral(
            "Při změně definice balení produktu (časové platnosti balení nebo obažených obalů)"),
        this);
    auto* packagingLayout = new QVBoxLayout(packagingGroup);
    packagingLayout->addWidget(m_boxes[3]);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::Options);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(coverGroup);
    layout->addWidget(packagingGroup);
    layout->addWidget(buttons);
}

void CDlgOptions::accept() {
    m_switches.coverToCompCovers = m_boxes[0]->isChecked();
    m_switches.coverToPackaging = m_boxes[1]->isChecked();
    m_switches.coverToDispatches = m_boxes[2]->isChecked();
    m_switches.packagingToDispatches = m_boxes[3]->isChecked();
    QDialog::accept();
}

} // namespace tarvo
