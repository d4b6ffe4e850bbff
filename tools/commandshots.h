#pragma once

#include <QString>

class QWidget;

namespace tarvo {

struct GuiContext;

// Saves pictures of the windows of the main window's commands (the report
// dialog, the backup dialog, both pages of both import wizards) into the
// output folder; sample settings and a sample Money S3 installation are
// written into the data folder first. False when a picture was not saved.
bool SaveCommandScreenshots(const GuiContext& context, QWidget* frame, const QString& output);

} // namespace tarvo
