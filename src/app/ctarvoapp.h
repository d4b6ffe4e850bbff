#pragma once

#include "core/data/datafolder.h"
#include "core/registers/propagationswitches.h"

#include <QApplication>
#include <memory>
#include <optional>
#include <string>

namespace tarvo {

class CDataStore;
class CMainFrame;
class IMessagePort;
class QtMessagePort;
class SingleInstance;
struct GuiContext;

// The application: start-up (one instance, the data folder, the switches,
// the database, the main window) and the end (switches written back, the
// database closed).
class CTarvoApp : public QApplication {
    Q_OBJECT
public:
    CTarvoApp(int& argc, char** argv);
    ~CTarvoApp() override;

    // For tests: another instance name, another message port.
    void SetInstanceName(const QString& name) { m_instanceName = name; }
    void SetMessagePort(IMessagePort* messages) { m_messages = messages; }

    // False: the program must end at once (another instance runs, or the
    // data cannot be opened; the reason has been shown).
    bool InitInstance();
    // The end of the program; runs after a normal run and after a failed
    // start-up alike.
    void ExitInstance();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    // What every window works with; made once the database is open.
    const GuiContext* Context() const { return m_context.get(); }
    PropagationSwitches& Switches() { return m_switches; }

private:
    std::optional<std::string> DataDirArgument() const;
    void LoadTranslations();

    QString m_instanceName;
    IMessagePort* m_messages = nullptr;
    std::unique_ptr<QtMessagePort> m_qtMessages;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CDataStore> m_store;
    PropagationSwitches m_switches;
    DataFolder m_folder;
    std::unique_ptr<GuiContext> m_context;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_ownsInstance = false;
    bool m_switchesRead = false;
    bool m_exited = false;
};

} // namespace tarvo
