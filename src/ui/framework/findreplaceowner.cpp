#include "ui/framework/findreplaceowner.h"

#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/tableview.h"

#include <QComboBox>

namespace tarvo {

FindReplaceOwner::~FindReplaceOwner() {
    Close();
}

CDlgFindReplace* FindReplaceOwner::Open(TableView& view, int tab) {
    if (!m_dialog)
        m_dialog = new CDlgFindReplace(m_messages, &view, m_showHelp);
    CDlgFindReplace* dialog = m_dialog.data();
    dialog->SetTarget(view);
    dialog->ShowTab(tab);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->FindCombo()->setFocus();
    return dialog;
}

void FindReplaceOwner::Close() {
    if (CDlgFindReplace* dialog = m_dialog.data()) {
        m_dialog.clear();
        delete dialog;
    }
}

} // namespace tarvo
