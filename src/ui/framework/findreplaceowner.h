#pragma once

#include <QPointer>

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

    explicit FindReplaceOwner(IMessagePort& messages) : m_messages(messages) {}
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
    QPointer<CDlgFindReplace> m_dialog;
};

} // namespace tarvo
