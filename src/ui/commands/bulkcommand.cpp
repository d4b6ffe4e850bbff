#include "ui/commands/bulkcommand.h"

#include "core/engine/bulkresolution.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/guicontext.h"

namespace tarvo {

void RunBulkCommand(const GuiContext& context, QWidget* parent) {
    // The run asks its question before it reports any progress; the window
    // appears only once the user has said Yes.
    DeferredProgressWnd progress(QString::fromUtf8(BulkProgressCaption), true, parent);
    ResolveAllMoveCovers(context.store, progress, context.notifier);
}

} // namespace tarvo
