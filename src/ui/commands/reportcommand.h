#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarvo {

struct GuiContext;

// Shows a written file in the desktop's program for it (the spreadsheet
// program for a workbook); false when none could be started.
using OpenDocument = std::function<bool(const QString& path)>;
bool OpenWithDesktop(const QString& path);

// "Sestavit výkaz": asks for the period and the company data, offers the
// program's own template when the quarter has none, builds the workbook with
// the progress window and opens it.
void RunReportCommand(const GuiContext& context, QWidget* parent,
                      const OpenDocument& open = OpenWithDesktop);

} // namespace tarvo
