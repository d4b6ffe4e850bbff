#pragma once

#include "core/data/cdatastore.h"
#include "core/registers/propagationswitches.h"
#include "recordingports.h"
#include "ui/framework/guicontext.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tarvo::test {

// A new working database in a temporary folder, open, with every message
// recorded, and the GUI context of the windows under test built on it
// (switches all on, no help).
class UiDatabase {
public:
    UiDatabase();
    ~UiDatabase();

    RecordingMessages messages;
    PropagationSwitches switches;
    RecordingNotifier notifier;
    CDataStore& Store() { return *m_store; }
    const GuiContext& Context() const { return *m_context; }

    // Runs SQL; false (with the message recorded) on an error.
    bool Run(const std::string& sql);
    // The first column of the first row of a query as an integer (0 when
    // there is no row).
    long long Number(const std::string& sql);
    std::string Text(const std::string& sql);
    // Inserts a cover and returns its identifier; weight in 1/10000 kg.
    long long AddCover(const std::string& name, long long weightScaled, int material = 0,
                       int type = 0, int origin = 0, int payment = 0, int stat = 0);
    std::string Folder() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CDataStore> m_store;
    std::unique_ptr<GuiContext> m_context;
};

// Runs action on the next modal dialog (or message box) that opens, once the
// event loop shows it. The action must close the dialog.
void OnNextModal(std::function<void(QWidget*)> action);

// Uses the Czech locale for numbers, as the program's users have it.
void UseCzechLocale();

} // namespace tarvo::test
