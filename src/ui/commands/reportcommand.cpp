#include "ui/commands/reportcommand.h"

#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/report/formbuild.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "ui/dialogs/cdlgformchecks.h"
#include "ui/dialogs/cdlgreportdata.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/guicontext.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace tarvo {

namespace {

// A data folder holds the templates of the year it was made in; the first
// report of a later year would find none. The program's own template of the
// quarter is offered instead, so that the report can still be made. No
// leaves the search to the report, which then names what is missing.
void OfferOwnTemplate(const GuiContext& context, int year, int quarter) {
    if (FindReportTemplate(context.folder, year, quarter))
        return;
    const std::string path = QuarterTemplatePath(context.folder.folder, year, quarter);
    if (!context.messages.AskYesNo(Format("Pro %i. čtvrtletí %i není k dispozici předloha výkazu.\n"
                                          "Přejete si vytvořit předlohu programu „%s“?",
                                          quarter, year, path.c_str()),
                                   MsgIcon::Question))
        return;
    try {
        MakeReportTemplate(path, year, quarter);
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
    }
}

// Without a program for workbooks the statement is still written: the user
// learns where, and can have the folder shown to take the file elsewhere.
void ShowWhereSaved(const QStringList& paths, QWidget* parent, const OpenDocument& open) {
    QStringList shown;
    for (const QString& path : paths)
        shown << QDir::toNativeSeparators(path);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tarvo"),
                    QStringLiteral("Sešit se nepodařilo otevřít: na tomto počítači chybí program "
                                   "pro sešity .xlsx (například LibreOffice Calc nebo Excel).\n\n"
                                   "%1\n%2")
                        .arg(paths.size() == 1 ? QStringLiteral("Je uložen v souboru:")
                                               : QStringLiteral("Jsou uloženy v souborech:"),
                             shown.join(QLatin1Char('\n'))),
                    QMessageBox::NoButton, parent);
    QPushButton* folder = box.addButton(QStringLiteral("Otevřít &složku"), QMessageBox::ActionRole);
    QPushButton* close = box.addButton(QStringLiteral("Zavřít"), QMessageBox::RejectRole);
    box.setDefaultButton(folder);
    box.setEscapeButton(close);
    box.exec();
    if (box.clickedButton() == folder)
        open(QFileInfo(paths.front()).absolutePath());
}

// The statement since 2021 into a copy of the form the user chose. When the
// form's checks of the user's data fail, the user sees them and decides
// whether the statement is written all the same.
std::optional<std::string> BuildFormStatement(const GuiContext& context, IProgressPort& progress,
                                              FormReportParams params, QWidget* parent) {
    params.writeDespiteFailures = [parent](const std::vector<std::string>& failures) {
        CDlgFormChecks dialog(failures, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    return BuildFormReport(context.store, progress, context.folder, params);
}

} // namespace

bool OpenWithDesktop(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void RunReportCommand(const GuiContext& context, QWidget* parent, const OpenDocument& open,
                      const ShowIncompleteCovers& showCovers) {
    CDlgReportData dialog(context, OleDate::Today(), parent);
    const int result = dialog.exec();
    if (result == CDlgReportData::ShowCoversResult && showCovers)
        showCovers();
    if (result != QDialog::Accepted)
        return;
    const ReportParams& params = dialog.Params();
    const bool currentForm = UsesCurrentForm(params.year);
    if (!currentForm)
        OfferOwnTemplate(context, params.year, params.quarter);

    std::optional<std::string> workbook;
    std::optional<std::string> breakdown;
    {
        // The window comes once the template is found and copied: a missing
        // template is reported over the frame, not over an empty window.
        DeferredProgressWnd progress(QString::fromUtf8(ReportProgressCaption), false, parent);
        workbook = currentForm ? BuildFormStatement(context, progress, dialog.FormParams(), parent)
                               : BuildReport(context.store, progress, context.folder, params);
        if (workbook && params.breakdown) {
            progress.SetStatus("rozpis výkazu");
            breakdown = (currentForm ? BuildFormBreakdown : BuildReportBreakdown)(
                context.store, *workbook, params.year, params.quarter);
        }
    }
    if (!workbook)
        return;
    // The statement first, its breakdown after it; one message names every
    // file that could not be shown.
    QStringList notShown;
    for (const std::optional<std::string>& file : {workbook, breakdown}) {
        if (file && !open(QString::fromStdString(*file)))
            notShown << QString::fromStdString(*file);
    }
    if (!notShown.isEmpty())
        ShowWhereSaved(notShown, parent, open);
}

} // namespace tarvo
