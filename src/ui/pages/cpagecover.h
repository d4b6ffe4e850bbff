#pragma once

#include "core/data/recordid.h"

#include <QWizardPage>

class QStackedLayout;
class QTabBar;

namespace tarvo {

struct GuiContext;
class CPageCoverMove;
class CPageCoverProd;
class PickerList;
class PickerSearch;

// What the cover picker chose: a simple cover (cover_id) or a composite
// cover (ccover_id).
struct CoverChoice {
    RecordId id = NoRecord;
    bool composite = false;
};

// "Vyberte obal": picks a simple cover and goes on to the page linked to it,
// which receives the cover and its codes; or, when composite covers are
// offered, picks a composite cover and ends the wizard at once. The tab shown
// last is kept in the context for the next picker.
class CPageCover : public QWizardPage {
    Q_OBJECT
public:
    CPageCover(const GuiContext& context, bool offerComposite, QWidget* parent = nullptr);

    // The page that a chosen simple cover fills.
    void Link(CPageCoverProd* page);
    void Link(CPageCoverMove* page);

    const CoverChoice& Choice() const { return m_choice; }

    void initializePage() override;
    bool validatePage() override;
    // The composite tab ends the wizard: its button is Finish.
    int nextId() const override;

    QTabBar* Tabs() const { return m_tabs; }
    PickerList* CoverList() const { return m_lists[0]; }
    PickerList* CompCoverList() const { return m_lists[1]; }
    PickerSearch* Search() const { return m_search; }
    int ShownTab() const;

private:
    void ShowTab(int tab);

    const GuiContext& m_context;
    bool m_offerComposite;
    CoverChoice m_choice;
    CPageCoverProd* m_linkedProd = nullptr;
    CPageCoverMove* m_linkedMove = nullptr;
    QTabBar* m_tabs;
    QStackedLayout* m_stack;
    PickerList* m_lists[2];
    PickerSearch* m_search;
};

} // namespace tarvo
