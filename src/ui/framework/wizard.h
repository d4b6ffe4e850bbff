#pragma once

#include <QWizard>
#include <functional>

namespace tarvo {

// The program's wizards: Czech buttons, the caption taken from the page
// shown, "Nápověda" and F1 on a page added with a help context. The buttons follow the page's place
// in the wizard: a first page offers Next only, a last page Back and Finish, a page alone "OK" and
// "Storno"; a page that may end the wizard early (the cover picker on its composite tab) says so
// through nextId() == -1 and gets Finish. "Storno" is always there.
class Wizard : public QWizard {
    Q_OBJECT
public:
    // showHelp opens the help at a context number (GuiContext::showHelp).
    explicit Wizard(QWidget* parent = nullptr, std::function<void(int)> showHelp = {});

    // Adds the pages in order; call before Run(). A page with a help context
    // (help::...) gets the help button.
    void AddPage(QWizardPage* page, int helpContext = 0);
    // True only when the wizard ended with Finish (or "OK").
    bool Run();
    // What a double click on a list row does: Next when the current page
    // leads on, Finish when it is the last.
    void Advance();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateForPage(int id);
    void ShowHelp();

    std::function<void(int)> m_showHelp;

    bool m_sized = false;
};

} // namespace tarvo
