#pragma once

#include "core/import/moneys3import.h"

#include <QWizardPage>

class QCheckBox;
class QLineEdit;

namespace tarvo {

struct GuiContext;
class ExistingRecordsGroup;

// "Parametry importu" of the Money S3 import: what to import, the export
// rule and what to do with records imported before.
class CPageImpS3Param : public QWizardPage {
    Q_OBJECT
public:
    CPageImpS3Param(const GuiContext& context, const MoneyImportParams& stored,
                    QWidget* parent = nullptr);

    bool validatePage() override;

    // The page's values (the folders are not the page's).
    MoneyImportParams Params() const;

    QCheckBox* ProductsBox() const { return m_products; }
    QCheckBox* DocumentsBox() const { return m_documents; }
    QCheckBox* ExportBox() const { return m_setExport; }
    QLineEdit* CountriesEdit() const { return m_countries; }
    ExistingRecordsGroup* Existing() const { return m_existing; }

private:
    void UpdateEnabling();

    const GuiContext& m_context;
    QCheckBox* m_products;
    QCheckBox* m_documents;
    QCheckBox* m_setExport;
    QLineEdit* m_countries;
    ExistingRecordsGroup* m_existing;
};

} // namespace tarvo
