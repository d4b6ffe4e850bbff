#pragma once

#include <QWizard>

namespace tarvo {

// The program's wizards: Czech buttons, no help button, the caption taken
// from the page shown. A page alone in its wizard shows only the finishing
// button, labelled "OK".
class CWizard : public QWizard {
    Q_OBJECT
public:
    explicit CWizard(QWidget* parent = nullptr);

    // Adds the pages in order; call before exec().
    void AddPage(QWizardPage* page);
    // True when the wizard ended with its finishing button.
    bool Run();

private:
    void UpdateForPage(int id);
};

} // namespace tarvo
