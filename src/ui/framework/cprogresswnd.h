#pragma once

#include "core/ports/progressport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <memory>

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

// A progress window that appears only when the operation reports progress
// and a delay has passed since this object was made. Without a delay the
// window comes with the first report: the questions and early refusals of an
// operation come before its window, as the user expects, and an operation
// that ends before its work shows none. With a delay (the re-derivation after
// a change of packaging, where most products have a few dispatch lines) a
// quick run shows no window flashing up; the range and status reported
// before the window appeared are given to it when it does.
class DeferredProgressWnd final : public IProgressPort {
public:
    DeferredProgressWnd(const QString& caption, bool cancelAllowed, QWidget* parent,
                        int delayMs = 0);
    ~DeferredProgressWnd() override;
    DeferredProgressWnd(const DeferredProgressWnd&) = delete;
    DeferredProgressWnd& operator=(const DeferredProgressWnd&) = delete;

    void SetRange(int lower, int upper) override;
    void SetStatus(const std::string& text) override;
    void SetSecondaryStatus(const std::string& text) override;
    void SetPos(int pos) override;
    bool CheckCancel() override;

private:
    // The window, made now when the delay has passed; null before.
    CProgressWnd* Window();

    QString m_caption;
    bool m_cancelAllowed;
    QPointer<QWidget> m_parent;
    int m_delayMs;
    QElapsedTimer m_clock;
    std::unique_ptr<CProgressWnd> m_window;
    int m_lower = 0;
    int m_upper = 100;
    std::string m_status;
};

} // namespace tarvo
