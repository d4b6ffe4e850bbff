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

// Shows the covers that are not complete for the statement since 2021, in the
// main window's covers view.
using ShowIncompleteCovers = std::function<void()>;

// "Sestavit výkaz": asks for the period and the company data, then builds the
// statement with the progress window and opens it: from 2021 on into a copy
// of the form the user chose, asking whether to write it when the form's
// checks of the data fail; for an earlier quarter from its template,
// offering the program's own when the quarter has none. When the user asks
// from the dialog for the covers that keep lines out of the statement,
// showCovers runs instead.
void RunReportCommand(const GuiContext& context, QWidget* parent,
                      const OpenDocument& open = OpenWithDesktop,
                      const ShowIncompleteCovers& showCovers = {});

} // namespace tarvo
