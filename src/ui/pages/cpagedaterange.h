#pragma once

#include "core/data/oledate.h"

#include <QWizardPage>

class QCheckBox;
class QDateEdit;
class QLabel;

namespace tarvo {

class IMessagePort;

// "Zadejte časovou platnost": the first day of a packaging definition, the
// first page of the wizard that assigns covers to many products at once.
class CPageDateRange : public QWizardPage {
    Q_OBJECT
public:
    // messages asks about a day far from today before the page is left.
    explicit CPageDateRange(IMessagePort& messages, OleDate date = OleDate::Now(),
                            bool copyPrevious = true, QWidget* parent = nullptr);

    OleDate Date() const { return m_date; }
    // Whether a definition made for a product takes the covers of the one
    // in force before it.
    bool CopyPrevious() const;
    QCheckBox* CopyBox() const { return m_copy; }

    void initializePage() override;
    bool validatePage() override;

    // Says above the date how many products the covers go to.
    void ShowProductCount(size_t count);

    QDateEdit* DatePicker() const { return m_picker; }
    QLabel* CountLabel() const { return m_count; }

private:
    IMessagePort& m_messages;
    OleDate m_date;
    QDateEdit* m_picker;
    QCheckBox* m_copy;
    QLabel* m_count;
};

} // namespace tarvo
