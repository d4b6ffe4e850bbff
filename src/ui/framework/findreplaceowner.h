#pragma once

#include <QPointer>
#include <functional>

namespace tarvo {

class CDlgFindReplace;
class TableView;
class IMessagePort;

// Keeps the one find and replace dialog of a frame: made on the first find
// or replace command, pointed at the view that asked, destroyed by Storno or
// a table switch.
class FindReplaceOwner {
public:
    static constexpr int FindTab = 0;
    static constexpr int ReplaceTab = 1;

    // showHelp opens the help at a context number (GuiContext::showHelp).
    explicit FindReplaceOwner(IMessagePort& messages, std::function<void(int)> showHelp = {})
        : m_messages(messages), m_showHelp(std::move(showHelp)) {}
    ~FindReplaceOwner();
    FindReplaceOwner(const FindReplaceOwner&) = delete;
    FindReplaceOwner& operator=(const FindReplaceOwner&) = delete;

    // Opens the dialog (or reuses the open one) for the view on a tab.
    CDlgFindReplace* Open(TableView& view, int tab);
    // The open dialog, or nullptr.
    CDlgFindReplace* Dialog() const { return m_dialog.data(); }
    void Close();

private:
    IMessagePort& m_messages;
    std::function<void(int)> m_showHelp;
    QPointer<CDlgFindReplace> m_dialog;
};

} // namespace tarvo
