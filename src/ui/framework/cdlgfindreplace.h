#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/value.h"
#endif

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabBar;

namespace tarvo {

class CTableView;

// What the find and replace dialog asks a view to do on its main list.
struct FindReplaceRequest {
    enum Mode { FindNext = 0, ReplaceOne = 1, ReplaceAll = 2 };
    Mode mode = FindNext;
    std::string field;
    Value findValue;
    Value replaceValue;
    bool partMatch = false;

    // The condition a record must meet: "col = 5", "col = TRUE",
    // "col LIKE '%text%'" or "col = 'text'" (apostrophes doubled).
    std::string Criterion() const;
};

// The modeless "Najít a nahradit" dialog. At most one exists; a table switch
// or Storno destroys it.
class CDlgFindReplace : public QDialog {
    Q_OBJECT
public:
    // Opens the dialog (or reuses the open one) for a view on tab 0 (find) or
    // 1 (replace), with the view's searchable columns and the column to
    // preselect.
    static CDlgFindReplace* Open(CTableView* view, int tab, std::vector<std::string> columns,
                                 const std::string& initialColumn);
    static CDlgFindReplace* Instance();
    static void CloseIfOpen();

    CTableView* Target() const { return m_target; }
    int Tab() const;

    // The controls, for the program's own code and its tests.
    QComboBox* FindCombo() const { return m_find; }
    QComboBox* ReplaceCombo() const { return m_replace; }
    QComboBox* ColumnCombo() const { return m_column; }
    QCheckBox* PartMatchBox() const { return m_part; }
    QPushButton* FindNextButton() const { return m_findNext; }
    QPushButton* ReplaceButton() const { return m_replaceOne; }
    QPushButton* ReplaceAllButton() const { return m_replaceAll; }

private:
    explicit CDlgFindReplace(QWidget* parent);

    void FillColumns(const std::string& initialColumn);
    void FillValues();
    void ShowTab(int tab);
    void Submit(FindReplaceRequest::Mode mode);
    bool IsCodedColumn(const std::string& column) const;

    QPointer<CTableView> m_target;
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
