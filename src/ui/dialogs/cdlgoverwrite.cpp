#include "ui/dialogs/cdlgoverwrite.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarvo {

namespace {

struct ButtonDef {
    CDlgOverwrite::Result result;
    const char* text;
};

constexpr ButtonDef Buttons[4] = {{CDlgOverwrite::Yes, "&Ano"},
                                  {CDlgOverwrite::No, "&Ne"},
                                  {CDlgOverwrite::YesToAll, "Ano &všem"},
                                  {CDlgOverwrite::NoToAll, "Ne vše&m"}};

} // namespace

CDlgOverwrite::CDlgOverwrite(const QString& question, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tarvo"));
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
    auto* text = new QLabel(question, this);
    text->setWordWrap(true);
    text->setMinimumWidth(300);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(QString::fromUtf8(Buttons[i].text), this);
        const int result = Buttons[i].result;
        connect(m_buttons[i], &QPushButton::clicked, this, [this, result] { done(result); });
        row->addWidget(m_buttons[i]);
    }
    row->addStretch();
    m_buttons[0]->setDefault(true);
    m_buttons[0]->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* CDlgOverwrite::Button(Result result) const {
    for (int i = 0; i < 4; ++i) {
        if (Buttons[i].result == result)
            return m_buttons[i];
    }
    return nullptr;
}

void CDlgOverwrite::reject() {
    done(Cancel);
}

} // namespace tarvo
