#include "ui/commands/importcommands.h"

#include "core/data/oledate.h"
#include "core/data/profile.h"
#include "core/import/wakintra.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpageimps3param.h"
#include "ui/pages/cpageimpwak.h"
#include "ui/pages/cpageimpwakparam.h"

namespace tarvo {

namespace {

// Runs an importer with the progress window; the window goes before the
// summary is shown.
void RunWithProgress(const GuiContext& context, QWidget* parent, const char* caption,
                     const std::function<bool(IProgressPort&, ImportCounters&)>& importer) {
    CProgressWnd progress(QString::fromUtf8(caption), true);
    progress.Create(parent);
    ImportCounters counters;
    RunImport(
        context.messages, context.notifier,
        [&](ImportCounters& c) {
            struct CloseWindow {
                CProgressWnd& window;
                ~CloseWindow() { window.Destroy(); }
            } close{progress};
            return importer(progress, c);
        },
        counters);
}

} // namespace

void RunMoneyImportCommand(const GuiContext& context, QWidget* parent,
                           const MoneyWizardOptions& options) {
    Profile profile(context.folder.SettingsPath());
    Wizard wizard(parent, context.showHelp);
    MoneyXmlImportParams xml = ReadMoneyXmlImportSettings(profile);
    auto* source = new CPageImpS3(context, options.dosDevices, xml);
    if (options.browseFolder)
        source->SetBrowseFolder(options.browseFolder);
    if (options.browseFile)
        source->SetBrowseFile(options.browseFile);
    auto* parameters = new CPageImpS3Param(context, xml.money);
    wizard.AddPage(source, help::MoneyImport);
    wizard.AddPage(parameters, help::MoneyImport);
    const bool finished = wizard.Run();
    MoneyImportParams params = parameters->Params();
    xml.money = params;
    // The source chosen is the one offered first next time.
    const std::optional<MoneySource>& chosen = source->Source();
    const bool fromXml = chosen && !chosen->xmlFile.empty();
    if (chosen) {
        xml.file = chosen->xmlFile;
        if (fromXml)
            xml.sources = chosen->xmlSources;
    }
    WriteMoneyXmlImportSettings(profile, xml);
    if (!finished || !chosen || (!params.choices.products && !params.choices.documents))
        return;
    if (fromXml) {
        RunWithProgress(context, parent, "Import dat z Money S3",
                        [&](IProgressPort& progress, ImportCounters& counters) {
                            return ImportMoneyXml(context.store, context.messages, progress, xml,
                                                  counters);
                        });
        return;
    }
    params.agendaFolder = source->Source()->folders.agendaFolder;
    params.yearFolder = source->Source()->folders.yearFolder;
    RunWithProgress(context, parent, "Import dat z Money S3",
                    [&](IProgressPort& progress, ImportCounters& counters) {
                        return ImportMoneyS3(context.store, context.messages, progress, params,
                                             counters);
                    });
}

void RunWakImportCommand(const GuiContext& context, QWidget* parent) {
    Profile profile(context.folder.SettingsPath());
    Wizard wizard(parent, context.showHelp);
    auto* connection = new CPageImpWAK(context, WakConnectionSettings::Load(profile));
    auto* parameters =
        new CPageImpWAKParam(context, WakImportParams::Load(profile, OleDate::Today()));
    wizard.AddPage(connection, help::WakImport);
    wizard.AddPage(parameters, help::WakImport);
    const bool finished = wizard.Run();
    const WakConnectionSettings server = connection->Settings();
    server.Save(profile);
    parameters->Params().Save(profile);
    if (!finished)
        return;
    const WakImportParams& params = parameters->Validated();
    if (!params.choices.products && !params.choices.documents)
        return;
    RunWithProgress(context, parent, WakProgressCaption,
                    [&](IProgressPort& progress, ImportCounters& counters) {
                        return ImportWakIntra(context.store, context.messages, progress, server,
                                              params, counters);
                    });
}

} // namespace tarvo
