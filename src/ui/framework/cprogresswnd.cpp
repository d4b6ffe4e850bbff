#include "ui/framework/cprogresswnd.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CProgressWnd::CProgressWnd(const QString& caption, bool cancelAllowed)
    : QDialog(nullptr), m_cancelAllowed(cancelAllowed) {
    setWindowTitle(caption);
    setModal(false);
    m_status = new QLabel(this);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_secondary = new QLabel(this);
    m_secondary->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("Storno"), this);
    m_cancel->setVisible(cancelAllowed);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addWidget(m_secondary);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

CProgressWnd::~CProgressWnd() {
    Destroy();
}

bool CProgressWnd::Create(QWidget* parent) {
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner && owner->isEnabled()) {
        owner->setEnabled(false);
        m_ownerDisabled = true;
        m_owner = owner;
    }
    if (owner) {
        setParent(owner, windowFlags() | Qt::Dialog);
        // A disabled parent would disable this window too.
        setEnabled(true);
    }
    show();
    PumpMessages();
    return true;
}

void CProgressWnd::Destroy() {
    if (m_ownerDisabled && m_owner)
        m_owner->setEnabled(true);
    m_ownerDisabled = false;
    hide();
}

void CProgressWnd::SetRange(int lower, int upper) {
    m_bar->setRange(lower, upper);
}

void CProgressWnd::SetStatus(const std::string& text) {
    m_status->setText(QString::fromStdString(text));
    m_secondary->clear();
}

void CProgressWnd::SetSecondaryStatus(const std::string& text) {
    m_secondary->setText(QString::fromStdString(text));
}

void CProgressWnd::SetPos(int pos) {
    PumpMessages();
    m_bar->setValue(pos);
}

bool CProgressWnd::CheckCancel() {
    PumpMessages();
    const bool cancelled = m_cancelled && m_cancelAllowed;
    m_cancelled = false;
    return cancelled;
}

QString CProgressWnd::Status() const {
    return m_status->text();
}

QString CProgressWnd::SecondaryStatus() const {
    return m_secondary->text();
}

void CProgressWnd::reject() {
    // Escape and the close box ask to stop, like the cancel button; the
    // operation itself decides when the window goes.
    if (m_cancelAllowed)
        m_cancelled = true;
}

void CProgressWnd::PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

DeferredProgressWnd::DeferredProgressWnd(const QString& caption, bool cancelAllowed,
                                         QWidget* parent, int delayMs)
    : m_caption(caption), m_cancelAllowed(cancelAllowed), m_parent(parent), m_delayMs(delayMs) {
    m_clock.start();
}

DeferredProgressWnd::~DeferredProgressWnd() = default;

CProgressWnd* DeferredProgressWnd::Window() {
    if (!m_window && m_clock.elapsed() >= m_delayMs) {
        m_window = std::make_unique<CProgressWnd>(m_caption, m_cancelAllowed);
        m_window->Create(m_parent);
        m_window->SetRange(m_lower, m_upper);
        if (!m_status.empty())
            m_window->SetStatus(m_status);
    }
    return m_window.get();
}

void DeferredProgressWnd::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    if (CProgressWnd* window = Window())
        window->SetRange(lower, upper);
}

void DeferredProgressWnd::SetStatus(const std::string& text) {
    m_status = text;
    if (CProgressWnd* window = Window())
        window->SetStatus(text);
}

void DeferredProgressWnd::SetSecondaryStatus(const std::string& text) {
    if (CProgressWnd* window = Window())
        window->SetSecondaryStatus(text);
}

void DeferredProgressWnd::SetPos(int pos) {
    if (CProgressWnd* window = Window())
        window->SetPos(pos);
}

bool DeferredProgressWnd::CheckCancel() {
    CProgressWnd* window = Window();
    return window && window->CheckCancel();
}

} // namespace tarvo
