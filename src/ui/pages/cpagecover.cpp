#include "ui/pages/cpagecover.h"

#include "core/registers/pickerrows.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagecovermove.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/pagecheck.h"
#include "ui/pages/pickerlist.h"

#include <QStackedLayout>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvo {

namespace {
constexpr int SimpleTab = 0;
constexpr int CompositeTab = 1;
} // namespace

CPageCover::CPageCover(const GuiContext& context, bool offerComposite, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_offerComposite(offerComposite),
      m_tabs(new QTabBar(this)), m_stack(new QStackedLayout), m_search(new PickerSearch(this)) {
    setTitle(QStringLiteral("Vyberte obal"));
    // Room for the columns of a list without scrolling sideways.
    setMinimumSize(780, 300);
    CDataStore& store = context.store;
    m_lists[SimpleTab] = new PickerList(
        context.messages, MakeCoverPickerRows(store),
        [&store](IdList& ids) { return LoadCoverPickerIds(store, ids); }, this);
    m_lists[CompositeTab] = new PickerList(
        context.messages, MakeCompCoverPickerRows(store),
        [&store](IdList& ids) { return LoadCompCoverPickerIds(store, ids); }, this);
    m_tabs->addTab(QStringLiteral("Jednoduché obaly"));
    m_tabs->addTab(QStringLiteral("Složené obaly"));
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    for (PickerList* list : m_lists)
        m_stack->addWidget(list);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addLayout(m_search->MakeRow());
    layout->addSpacing(6);
    layout->addWidget(m_tabs);
    layout->addLayout(m_stack);

    connect(m_tabs, &QTabBar::currentChanged, this, &CPageCover::ShowTab);
    // A double click presses Next on the simple list, Finish on the composite one.
    for (PickerList* list : m_lists) {
        connect(list, &RecordList::rowActivated, this, [this] {
            if (auto* sheet = qobject_cast<Wizard*>(wizard()))
                sheet->Advance();
        });
    }
}

void CPageCover::Link(CPageCoverProd* page) {
    m_linkedProd = page;
}

void CPageCover::Link(CPageCoverMove* page) {
    m_linkedMove = page;
}

int CPageCover::ShownTab() const {
    return m_stack->currentIndex();
}

void CPageCover::initializePage() {
    if (!m_offerComposite) {
        // A picker of simple covers alone also sends the next picker back
        // to the simple covers.
        m_tabs->hide();
        m_context.coverPickerTab = SimpleTab;
    }
    const int tab = m_context.coverPickerTab == CompositeTab ? CompositeTab : SimpleTab;
    const QSignalBlocker quiet(m_tabs);
    m_tabs->setCurrentIndex(tab);
    ShowTab(tab);
    // After the wizard has put the focus into the page, so that typing
    // searches at once.
    QTimer::singleShot(0, m_search, [this] { m_search->setFocus(); });
}

void CPageCover::ShowTab(int tab) {
    m_stack->setCurrentIndex(tab);
    m_lists[tab]->Fill();
    m_search->SetList(m_lists[tab]);
    m_context.coverPickerTab = tab;
    // Makes the wizard ask nextId() again: Finish on the composite tab.
    setFinalPage(tab == CompositeTab);
}

int CPageCover::nextId() const {
    return ShownTab() == CompositeTab ? -1 : QWizardPage::nextId();
}

bool CPageCover::validatePage() {
    const int tab = ShownTab();
    PickerList* list = m_lists[tab];
    const RecordId id = list->SelectedId();
    if (id == NoRecord) {
        Refuse(m_context.messages, "Není vybrán obal!", list);
        return false;
    }
    m_choice = {id, tab == CompositeTab};
    if (m_choice.composite || (!m_linkedProd && !m_linkedMove))
        return true;
    const CoverFacts cover = ReadCoverFacts(m_context.store, id).value_or(CoverFacts{});
    if (m_linkedProd)
        m_linkedProd->SetCover(id, cover.type, cover.origin, cover.payment);
    if (m_linkedMove)
        m_linkedMove->SetCover(id, cover.type, cover.origin, cover.payment);
    return true;
}

} // namespace tarvo
