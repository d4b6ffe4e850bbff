#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace tarvo {

struct GuiContext;

// The one way the program's dialogs and pages build their forms: a grid of
// rows, each a label (its mnemonic leads to the field), the field, and an
// optional unit after it. Code rather than .ui files, because most fields are
// code lists and quantity boxes made by the program's own helpers.
class FormGrid {
public:
    explicit FormGrid(QWidget* owner);

    QGridLayout* Layout() const { return m_grid; }
    // A labelled field; the field takes the unit's column when there is no
    // unit. Returns the label, for rows that come and go.
    QLabel* AddRow(const QString& label, QWidget* field, QWidget* unit = nullptr);
    // A widget under the fields (a check box), or across the whole form (a note).
    void AddUnderFields(QWidget* widget);
    // The same with a second widget at the right end of the row (a mark).
    void AddUnderFields(QWidget* widget, QWidget* right);
    void AddAcross(QWidget* widget);
    int RowCount() const { return m_row; }

private:
    QWidget* m_owner;
    QGridLayout* m_grid;
    int m_row = 0;
};

// The buttons under a dialog: "OK" (default; it calls the dialog's accept(),
// where the dialog checks its fields), "Storno", and "Nápověda" when the
// dialog has a help context. Returns the box for the caller's layout.
QDialogButtonBox* MakeDialogButtons(QDialog* dialog, const GuiContext& context, int helpContext);
// "Nápověda" and F1 for a dialog with buttons of its own (the backup).
QPushButton* MakeHelpButton(QDialog* dialog, const GuiContext& context, int helpContext);

// The width a window needs for its whole title in the title bar. The dialogs
// with the buttons above keep at least this width when shown.
int TitleWidth(const QWidget* window);

} // namespace tarvo
