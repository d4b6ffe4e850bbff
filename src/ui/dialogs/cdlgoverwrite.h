#pragma once

#include <QDialog>

class QPushButton;

namespace tarvo {

// The question of the imports about a record imported before: "&Ano",
// "&Ne", "Ano &všem", "Ne vše&m". exec() returns the number of the button
// pressed, or Cancel (Escape or the close box).
class CDlgOverwrite : public QDialog {
    Q_OBJECT
public:
    enum Result { Cancel = 2, Yes = 1091, NoToAll = 1092, YesToAll = 1093, No = 1094 };

    explicit CDlgOverwrite(const QString& question, QWidget* parent = nullptr);

    QPushButton* Button(Result result) const;

protected:
    void reject() override;

private:
    QPushButton* m_buttons[4];
};

} // namespace tarvo
