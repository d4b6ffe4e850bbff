#pragma once

#include "core/registers/propagationswitches.h"
#include "rows.h"
#include "testdatabase.h"
#include "ui/framework/guicontext.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tarvo {
class ListModel;
class RecordList;
} // namespace tarvo

namespace tarvo::test {

// The test database with the GUI context of the windows under test built on
// it (switches all on, no help).
class UiDatabase : public TestDatabase {
public:
    UiDatabase();

    PropagationSwitches switches;
    RecordingNotifier notifier;
    CDataStore& Store() { return store; }
    const GuiContext& Context() const { return m_context; }
    std::string Folder() const { return folder.Folder(); }

    // Inserts a cover and returns its identifier; weight in 1/10000 kg.
    long long AddCover(const std::string& name, long long weightScaled, int material = 0,
                       int type = 0, int origin = 0, int payment = 0, int stat = 0);

private:
    GuiContext m_context;
};

// Runs action on the next modal dialog (or message box) that opens, once the
// event loop shows it. The action must close the dialog.
void OnNextModal(std::function<void(QWidget*)> action);

// Runs action on the next modal window of type T once it is shown; other
// modal windows (one closing) are waited out.
template <typename T> void OnNextModalOf(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

// The cells of one column of a list, top to bottom.
QStringList Column(const ListModel* model, int column);

// Selects the rows of a list as a user's clicks do; the first one is focused.
void SelectRows(RecordList* list, const std::vector<int>& rows);

// Uses the Czech locale for numbers, as the program's users have it.
void UseCzechLocale();

} // namespace tarvo::test
