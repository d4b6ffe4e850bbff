#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace tarvo {

// "Kontroly formuláře": the form's checks of the user's data that the
// statement fails (each naming the sheet, the row and the covers concerned),
// with the question whether to write it all the same. Accepted means write.
// Not writing is the default: EKO-KOM returns such a statement.
class CDlgFormChecks : public QDialog {
    Q_OBJECT
public:
    CDlgFormChecks(const std::vector<std::string>& failures, QWidget* parent = nullptr);

    QPlainTextEdit* List() const { return m_list; }
    QPushButton* WriteButton() const { return m_write; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QPlainTextEdit* m_list;
    QPushButton* m_write;
    QPushButton* m_cancel;
};

} // namespace tarvo
