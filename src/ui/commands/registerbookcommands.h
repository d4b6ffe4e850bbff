#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarvo {

struct GuiContext;

// The file dialogs of the two commands: given the proposed file, the one
// chosen, or an empty text. The tests give their own.
struct RegisterBookFiles {
    using Choose = std::function<QString(QWidget* parent, const QString& proposed)>;
    static QString ChooseSaveFile(QWidget* parent, const QString& proposed);
    static QString ChooseOpenFile(QWidget* parent, const QString& proposed);

    Choose save = &ChooseSaveFile;
    Choose open = &ChooseOpenFile;
};

// "Export evidencí…": the covers, composite covers, products and their
// packaging written to a workbook of the user's choice, with a summary.
void RunExportRegistersCommand(const GuiContext& context, QWidget* parent,
                               const RegisterBookFiles& files = {});
// "Import evidencí…": a workbook chosen, checked in the dialog "Import
// evidencí", then imported as one unit with the progress window, the summary
// shown and the views reloaded.
void RunImportRegistersCommand(const GuiContext& context, QWidget* parent,
                               const RegisterBookFiles& files = {});

} // namespace tarvo
