#pragma once

#include <QAbstractButton>

namespace tarvo {

// A small button that shows an icon (and optionally text), drawn pressed
// while the mouse holds it or while it is held pressed by the program (the
// filter button while a filter is active).
class CIconButton : public QAbstractButton {
    Q_OBJECT
public:
    CIconButton(int command, const QIcon& icon, QWidget* parent = nullptr);

    int Command() const { return m_command; }
    void SetFlat(bool flat);
    bool IsFlat() const { return m_flat; }
    void SetHeldPressed(bool held);
    bool IsHeldPressed() const { return m_held; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_command;
    bool m_flat = false;
    bool m_held = false;
};

} // namespace tarvo
