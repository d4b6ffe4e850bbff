#include "ui/pages/cpageprod.h"

#include "core/registers/pickerrows.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpageqty.h"
#include "ui/pages/pagecheck.h"
#include "ui/pages/pickerlist.h"

#include <QTimer>
#include <QVBoxLayout>

namespace tarvo {

CPageProd::CPageProd(const GuiContext& context, QWidget* parent)
    : QWizardPage(parent), m_context(context) {
    setTitle(QStringLiteral("Vyberte produkt"));
    // Room for the columns of a list without scrolling sideways.
    setMinimumSize(640, 300);
    CDataStore& store = context.store;
    m_list = new PickerList(
        context.messages, MakeProductPickerRows(store),
        [&store](IdList& ids) { return LoadProductPickerIds(store, ids); }, this);
    m_search = new PickerSearch(this);
    m_search->SetList(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_search->MakeRow());
    layout->addWidget(m_list);
    connect(m_list, &RecordList::rowActivated, this, [this] {
        if (auto* sheet = qobject_cast<Wizard*>(wizard()))
            sheet->Advance();
    });
}

void CPageProd::initializePage() {
    m_list->Fill();
    // After the wizard has put the focus into the page, so that typing
    // searches at once.
    QTimer::singleShot(0, m_search, [this] { m_search->setFocus(); });
}

bool CPageProd::validatePage() {
    const RecordId id = m_list->SelectedId();
    if (id == NoRecord) {
        Refuse(m_context.messages, "Není vybrán produkt!", m_list);
        return false;
    }
    m_product = id;
    if (m_linkedQty)
        m_linkedQty->SetProduct(id);
    return true;
}

} // namespace tarvo
