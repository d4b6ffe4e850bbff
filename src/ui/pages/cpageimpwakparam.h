#pragma once

#include "core/import/waksettings.h"

#include <QWizardPage>

class QCheckBox;
class QDateEdit;

namespace tarvo {

struct GuiContext;
class ExistingRecordsGroup;

// "Parametry importu" of the WAK INTRA import: products, the sales documents
// of a date range, and what to do with records imported before.
class CPageImpWAKParam : public QWizardPage {
    Q_OBJECT
public:
    CPageImpWAKParam(const GuiContext& context, const WakImportParams& stored,
                     QWidget* parent = nullptr);

    bool validatePage() override;

    // The page's values, the range from midnight to midnight.
    WakImportParams Params() const;
    // The values "Dokončit" accepted, the range stretched to whole days.
    const WakImportParams& Validated() const { return m_validated; }

    QCheckBox* ProductsBox() const { return m_products; }
    QCheckBox* DocumentsBox() const { return m_documents; }
    QDateEdit* FromEdit() const { return m_from; }
    QDateEdit* ToEdit() const { return m_to; }
    ExistingRecordsGroup* Existing() const { return m_existing; }

private:
    void UpdateEnabling();

    const GuiContext& m_context;
    WakImportParams m_validated;
    QCheckBox* m_products;
    QCheckBox* m_documents;
    QDateEdit* m_from;
    QDateEdit* m_to;
    ExistingRecordsGroup* m_existing;
};

} // namespace tarvo
