#pragma once

#include <QWizard>

namespace tarvo {

// The program's wizards: Czech buttons, no help button, the caption taken
// from the page shown. The buttons follow the page's place in the wizard:
// a first page offers Next only, a last page Back and Finish, a page alone
// "OK" and "Storno"; a page that may end the wizard early (the cover picker
// on its composite tab) says so through nextId() == -1 and gets Finish.
// "Storno" is always there.
class Wizard : public QWizard {
    Q_OBJECT
public:
    explicit Wizard(QWidget* parent = nullptr);

    // Adds the pages in order; call before Run().
    void AddPage(QWizardPage* page);
    // True only when the wizard ended with Finish (or "OK").
    bool Run();
    // What a double click on a list row does: Next when the current page
    // leads on, Finish when it is the last.
    void Advance();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateForPage(int id);

    bool m_sized = false;
};

} // namespace tarvo
