#include "ui/commands/backupcommand.h"

#include "ui/dialogs/cdlgbackup.h"

namespace tarvo {

void RunBackupCommand(const GuiContext& context, BackupMode mode, QWidget* parent) {
    CDlgBackup dialog(context, mode, parent);
    dialog.exec();
}

} // namespace tarvo
