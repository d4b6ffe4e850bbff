#pragma once

#include "core/data/value.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabBar;

namespace tarvo {

class TableView;
class IMessagePort;
struct CodeList;

// A column of a view's main table that find and replace may search, as the
// view describes it: the drop-down shows the label; a coded column offers
// its code list's labels, a yes/no column "ano" and "ne"; any other column
// takes typed text.
struct SearchColumn {
    std::string column;
    QString label;
    const CodeList* codes = nullptr;
    bool yesNo = false;
};

// What the find and replace dialog asks a view to do on its main list.
struct FindReplaceRequest {
    enum Mode { FindNext = 0, ReplaceOne = 1, ReplaceAll = 2 };
    Mode mode = FindNext;
    std::string field;
    Value findValue;
    Value replaceValue;
    bool partMatch = false;
};

// The modeless "Najít a nahradit" dialog for one target view at a time. It
// knows only the columns its target offers. Storno, Escape and the close box
// destroy it.
class CDlgFindReplace : public QDialog {
    Q_OBJECT
public:
    // showHelp, when given, serves "Nápověda" and F1.
    CDlgFindReplace(IMessagePort& messages, QWidget* parent,
                    std::function<void(int)> showHelp = {});

    // Points the dialog at a view: its columns fill the drop-down (the one
    // of the clicked column selected), both value boxes are emptied.
    void SetTarget(TableView& view);
    TableView* Target() const { return m_target; }
    void ShowTab(int tab);
    int Tab() const;

    // The controls, for the program's own code and its tests.
    QComboBox* FindCombo() const { return m_find; }
    QComboBox* ReplaceCombo() const { return m_replace; }
    QComboBox* ColumnCombo() const { return m_column; }
    QCheckBox* PartMatchBox() const { return m_part; }
    QPushButton* FindNextButton() const { return m_findNext; }
    QPushButton* ReplaceButton() const { return m_replaceOne; }
    QPushButton* ReplaceAllButton() const { return m_replaceAll; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillColumns(int initialColumn);
    void FillValues();
    void Submit(FindReplaceRequest::Mode mode);
    void Warn(const char* text, QWidget* focus);

    IMessagePort& m_messages;
    std::function<void(int)> m_showHelp;
    QPointer<TableView> m_target;
    std::vector<SearchColumn> m_columns;
    QTabBar* m_tabs = nullptr;
    QComboBox* m_find = nullptr;
    QComboBox* m_replace = nullptr;
    QLabel* m_replaceLabel = nullptr;
    QComboBox* m_column = nullptr;
    QCheckBox* m_part = nullptr;
    QPushButton* m_findNext = nullptr;
    QPushButton* m_replaceOne = nullptr;
    QPushButton* m_replaceAll = nullptr;
};

} // namespace tarvo
