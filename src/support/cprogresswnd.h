#pragma once

#include "core/ports/progressport.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarvo {

// The small modeless window of a long operation: two status lines, a bar
// and, when the operation can stop, a cancel button. While it exists its
// owner window is disabled; every report pumps the pending events, so the
// program keeps painting and the cancel button can be pressed.
class CProgressWnd : public QDialog, public IProgressPort {
    Q_OBJECT
public:
    CProgressWnd(const QString& caption, bool cancelAllowed);
    ~CProgressWnd() override;

    // Disables the top-level owner of parent (when it is enabled) and shows
    // the window.
    bool Create(QWidget* parent);
    // Enables the owner again if this window disabled it, and hides.
    void Destroy();

    void SetRange(int lower, int upper) override;
    void SetStatus(const std::string& text) override;
    void SetSecondaryStatus(const std::string& text) override;
    void SetPos(int pos) override;
    bool CheckCancel() override;

    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Bar() const { return m_bar; }
    QString Status() const;
    QString SecondaryStatus() const;

protected:
    void reject() override;

private:
    void PumpMessages();

    bool m_cancelAllowed;
    bool m_cancelled = false;
    bool m_ownerDisabled = false;
    QPointer<QWidget> m_owner;
    QLabel* m_status;
    QLabel* m_secondary;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

} // namespace tarvo
