#include "ui/framework/ciconbutton.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace tarvo {

CIconButton::CIconButton(int command, const QIcon& icon, QWidget* parent)
    : QAbstractButton(parent), m_command(command) {
    setIcon(icon);
    setIconSize(QSize(16, 16));
    setFocusPolicy(Qt::NoFocus);
}

void CIconButton::SetFlat(bool flat) {
    m_flat = flat;
    update();
}

void CIconButton::SetHeldPressed(bool held) {
    m_held = held;
    update();
}

QSize CIconButton::sizeHint() const {
    return QSize(24, 22);
}

void CIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool pressed = isDown() || m_held;

    QStyleOptionButton option;
    option.initFrom(this);
    option.features = m_flat ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (pressed)
        option.state |= QStyle::State_On;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    // Pressed content moves one pixel right and down, like a real key.
    QRect content = rect();
    if (pressed)
        content.translate(1, 1);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatioF(), mode);
    const QString label = text();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    if (icon().isNull()) {
        painter.drawText(content, Qt::AlignCenter | Qt::TextSingleLine, label);
        return;
    }
    const int textWidth = label.isEmpty() ? 0 : 3 + fontMetrics().horizontalAdvance(label);
    const int x = content.left() + (content.width() - iconSize().width() - textWidth) / 2;
    const int y = content.top() + (content.height() - iconSize().height()) / 2;
    painter.drawPixmap(QRect(QPoint(x, y), iconSize()), pixmap);
    if (!label.isEmpty()) {
        QRect textRect(x + iconSize().width() + 3, content.top(), textWidth, content.height());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
    }
}

} // namespace tarvo
