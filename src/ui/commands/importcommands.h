#pragma once

#include "ui/pages/cpageimps3.h"

#include <string>

class QWidget;

namespace tarvo {

struct GuiContext;

// Where the Money S3 wizard looks: the drive letters of this machine's
// Windows paths, and the folder and file dialogs of "..." (the tests give
// their own).
struct MoneyWizardOptions {
    std::string dosDevices = DefaultDosDevices();
    CPageImpS3::BrowseFolder browseFolder;
    CPageImpS3::BrowseFolder browseFile;
};

// "Importovat z Money S3" and "Importovat z WAK INTRA": the wizard of the
// source and the parameters, whose settings are stored when it closes (also
// after Storno); then the import with the progress window, the summary and
// the views reloaded.
void RunMoneyImportCommand(const GuiContext& context, QWidget* parent,
                           const MoneyWizardOptions& options = {});
void RunWakImportCommand(const GuiContext& context, QWidget* parent);

} // namespace tarvo
