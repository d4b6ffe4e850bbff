#pragma once

#include "core/data/backup.h"

class QWidget;

namespace tarvo {

struct GuiContext;

// "Vytvoření záložní kopie dat" and "Obnovení ze záložní kopie dat": the
// dialog "Záloha dat" in its mode. The views are refreshed by the backup and
// the restore themselves, once the database is open again.
void RunBackupCommand(const GuiContext& context, BackupMode mode, QWidget* parent);

} // namespace tarvo
