#include "ui/pages/cpageprod.h"

#include "core/registers/pickerrows.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/wizard.h"
#include "ui/pages/pagecheck.h"
#include "ui/pages/pickerlist.h"

#include <QVBoxLayout>

namespace tarvo {

CPageProd::CPageProd(const GuiContext& context, QWidget* parent)
    : QWizardPage(parent), m_context(context) {
    setTitle(QStringLiteral("Vyberte výrobek"));
    // Room for the columns of a list without scrolling sideways.
    setMinimumSize(640, 300);
    CDataStore& store = context.store;
    m_list = new PickerList(
        context.messages, MakeProductPickerRows(store),
        [&store](IdList& ids) { return LoadProductPickerIds(store, ids); }, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    connect(m_list, &RecordList::rowActivated, this, [this] {
        if (auto* sheet = qobject_cast<Wizard*>(wizard()))
            sheet->Advance();
    });
}

void CPageProd::initializePage() {
    m_list->Fill();
    m_list->setFocus();
}

bool CPageProd::validatePage() {
    const RecordId id = m_list->SelectedId();
    if (id == NoRecord) {
        Refuse(m_context.messages, "Není vybrán produkt !", m_list);
        return false;
    }
    m_product = id;
    return true;
}

} // namespace tarvo
