#pragma once

class QWidget;

namespace tarvo {

struct GuiContext;

// The caption of the progress window of the bulk run.
inline constexpr char BulkProgressCaption[] = "Úprava vydaných obalů";

// "Upravit obaly ve výdejích podle definic balení...": after the user's
// confirmation, derives the cover lines of every dispatch anew, with the
// progress window and its cancel button.
void RunBulkCommand(const GuiContext& context, QWidget* parent);

} // namespace tarvo
