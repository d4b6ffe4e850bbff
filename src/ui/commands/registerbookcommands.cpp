#include "ui/commands/registerbookcommands.h"

#include "core/data/comerror.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/registerbook/registerexport.h"
#include "core/registerbook/registerimport.h"
#include "ui/dialogs/cdlgimportregisters.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/waitcursor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvo {

namespace {

constexpr const char* WorkbookFilter = "Sešit Excel (*.xlsx)";
constexpr const char* DefaultName = "Evidence.xlsx";
// The folder of the last workbook exported or imported, offered next time.
constexpr std::string_view FolderKey = "Slozka";
// A message box does not grow beyond the screen: the dialog's check lists
// every fault.
constexpr size_t FaultsInMessage = 20;

QString LastFolder(const GuiContext& context) {
    const std::string folder =
        Profile(context.folder.SettingsPath()).GetString(RegisterImportSection, FolderKey);
    if (!folder.empty() && QDir(QString::fromStdString(folder)).exists())
        return QString::fromStdString(folder);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

void RememberFolder(const GuiContext& context, const QString& file) {
    Profile profile(context.folder.SettingsPath());
    profile.WriteString(RegisterImportSection, FolderKey,
                        QFileInfo(file).absolutePath().toStdString());
}

QString RunFileDialog(QWidget* parent, const QString& title, const QString& proposed, bool save) {
    QFileDialog dialog(parent, title, proposed, QString::fromUtf8(WorkbookFilter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The name typed without its extension gets it before the dialog asks
    // whether to replace a file of that name.
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace

QString RegisterBookFiles::ChooseSaveFile(QWidget* parent, const QString& proposed) {
    return RunFileDialog(parent, QStringLiteral("Export evidencí"), proposed, true);
}

QString RegisterBookFiles::ChooseOpenFile(QWidget* parent, const QString& proposed) {
    return RunFileDialog(parent, QStringLiteral("Import evidencí"), proposed, false);
}

void RunExportRegistersCommand(const GuiContext& context, QWidget* parent,
                               const RegisterBookFiles& files) {
    QString path = files.save(parent, QDir(LastFolder(context)).filePath(DefaultName));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QLatin1String(".xlsx");
    RememberFolder(context, path);
    RegisterExportCounts counts;
    try {
        WaitCursor wait;
        counts = ExportRegisters(context.store, path.toStdString());
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return;
    }
    context.messages.ShowMessage(ExportSummaryText(counts), MsgIcon::Information);
}

void RunImportRegistersCommand(const GuiContext& context, QWidget* parent,
                               const RegisterBookFiles& files) {
    const QString path = files.open(parent, LastFolder(context));
    if (path.isEmpty())
        return;
    RememberFolder(context, path);
    RegisterImportOptions options;
    {
        CDlgImportRegisters dialog(context, path, parent);
        // A file that cannot be read has been reported; there is nothing to
        // choose.
        if (dialog.CheckStatus() == RegisterImportStatus::Failed ||
            dialog.exec() != QDialog::Accepted)
            return;
        options.existing = dialog.Mode();
    }
    RegisterImportResult result;
    {
        CProgressWnd progress(QStringLiteral("Import evidencí"), true);
        progress.Create(parent);
        result = ImportRegisters(context.store, path.toStdString(), options, context.switches,
                                 progress, context.notifier);
    }
    switch (result.status) {
    case RegisterImportStatus::Done:
        context.messages.ShowMessage(
            "Import dokončen úspěšně!\n\n" +
                RegisterImportSummaryText(result.summary, false, options.existing),
            MsgIcon::Information);
        break;
    case RegisterImportStatus::Faults:
        // The database changed since the dialog's check.
        context.messages.ShowMessage(RegisterFaultsText(result.faults, FaultsInMessage),
                                     MsgIcon::Exclamation);
        break;
    case RegisterImportStatus::Cancelled:
        context.messages.ShowMessage("Import byl přerušen!", MsgIcon::Information);
        break;
    case RegisterImportStatus::Failed:
        break;
    }
}

} // namespace tarvo
