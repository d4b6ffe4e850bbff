#pragma once

#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/ports/notifyport.h"
#include "core/registers/propagationswitches.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/tableview.h"

#include <QApplication>
#include <string>

namespace tarvo::bench {

// What the measuring process of a view benchmark has before it makes the
// view: the application on the offscreen platform and a GUI context on the
// database at db (switches all on, no help).
class CViewBench {
public:
    CViewBench(int& argc, char** argv, const std::string& db)
        : m_app(Offscreen(argc), argv), m_context{m_store,      messages,   m_switches,
                                                  DataFolder{}, m_notifier, {}} {
        OpenDatabase(m_store, db);
    }

    const GuiContext& Context() const { return m_context; }

    // Shows the view at the size the frame gives it and returns once its
    // first screen is painted.
    static void ShowFirstScreen(TableView& view) {
        view.resize(1200, 800);
        view.InitialUpdate();
        view.show();
        QCoreApplication::processEvents();
        view.repaint();
    }

    YesMessages messages;

private:
    // The platform is chosen before the application is made.
    static int& Offscreen(int& argc) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QApplication m_app;
    CDataStore m_store{messages};
    PropagationSwitches m_switches;
    NullNotifier m_notifier;
    GuiContext m_context;
};

} // namespace tarvo::bench
