#include "app/ctarvoapp.h"

#include "app/cmainframe.h"
#include "app/qtmessageport.h"
#include "app/singleinstance.h"
#include "core/data/backup.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/registers/propagationswitches.h"
#include "core/setup/datafoldersetup.h"
#include "support/helpwindow.h"
#include "ui/dialogs/cdlgfirststart.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/icons.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarvo {

CTarvoApp::CTarvoApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Kolmara"));
    setApplicationName(QStringLiteral("Tarvo"));
    setApplicationDisplayName(QString());
    setWindowIcon(icons::Application());
    m_instanceName = SingleInstance::DefaultName();
}

CTarvoApp::~CTarvoApp() {
    ExitInstance();
}

std::optional<std::string> CTarvoApp::DataDirArgument() const {
    const QStringList args = arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data-dir") && i + 1 < args.size())
            return args[i + 1].toStdString();
        if (args[i].startsWith(QLatin1String("--data-dir=")))
            return args[i].mid(11).toStdString();
    }
    return std::nullopt;
}

void CTarvoApp::LoadTranslations() {
    // The program speaks Czech whatever the desktop's language, and so do
    // Qt's own dialogs and buttons, its calendars and number boxes.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    // Qt's translations come with Qt on Linux and in "translations" beside
    // the program on Windows, where the installer puts them.
    auto* translator = new QTranslator(this);
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  applicationDirPath() + QStringLiteral("/translations")}) {
        if (translator->load(QStringLiteral("qtbase_cs"), folder)) {
            installTranslator(translator);
            return;
        }
    }
    delete translator;
}

bool CTarvoApp::InitInstance() {
    m_instance = std::make_unique<SingleInstance>(m_instanceName);
    if (!m_instance->Acquire())
        return false;
    m_ownsInstance = true;
    connect(m_instance.get(), &SingleInstance::raiseRequested, this, [this] {
        if (m_frame)
            m_frame->BringToFront();
    });

    if (!m_messages) {
        m_qtMessages = std::make_unique<QtMessagePort>();
        m_messages = m_qtMessages.get();
    }
    LoadTranslations();

    std::string exeFolder = applicationDirPath().toStdString();
    if (exeFolder.empty() || exeFolder.back() != '/')
        exeFolder += '/';
    m_folder = ResolveDataFolder(DataDirArgument(), exeFolder);
    const DataFolder& data = m_folder;

    Profile profile(data.SettingsPath());
    m_switches = ReadSwitches(profile);
    m_switchesRead = true;

    if (PrepareDataFolder(data) == PrepareResult::CannotCreate) {
        m_messages->ShowMessage(Format("Nemohu vytvořit složku dat '%s'", data.folder.c_str()),
                                MsgIcon::Error);
        return false;
    }
    m_store = std::make_unique<CDataStore>(*m_messages);
    m_store->SetDatabasePath(data.DatabasePath());
    if (!m_store->OpenDatabase())
        return false;

    // The frame is the context's view notifier, so it comes first and gets
    // its first view once the context exists.
    m_frame = std::make_unique<CMainFrame>();
    m_help = std::make_unique<HelpViewer>(QString::fromStdString(m_folder.folder),
                                          QString::fromStdString(m_folder.resources));
    m_context = std::make_unique<GuiContext>(
        GuiContext{*m_store, *m_messages, m_switches, m_folder, *m_frame,
                   [help = m_help.get()](int context) { help->Show(context); }});
    m_frame->Open(*m_context);
    m_frame->show();
    ShowFirstStartGuide(*m_context, m_frame.get());
    return true;
}

void CTarvoApp::ExitInstance() {
    if (m_exited)
        return;
    m_exited = true;
    m_frame.reset();
    m_help.reset();
    m_context.reset();
    // A second instance ends without touching the settings or the data of
    // the first.
    if (!m_ownsInstance)
        return;
    if (m_switchesRead) {
        Profile profile(m_folder.SettingsPath());
        WriteSwitches(profile, m_switches);
    }
    // Compaction closes the connection; when it cannot be done the working
    // database stays as it was.
    if (m_store && m_store->IsOpen())
        CompactWorkingDatabase(*m_store, m_folder);
    m_store.reset();
    m_instance.reset();
}

} // namespace tarvo
