#include "ui/dialogs/cdlgformchecks.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarvo {

CDlgFormChecks::CDlgFormChecks(const std::vector<std::string>& failures, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kontroly formuláře"));
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    auto* intro =
        new QLabel(QStringLiteral("Údaje výkazu neprošly kontrolami formuláře EKO-KOM:"), this);

    // One paragraph a failure; a long list of covers wraps and scrolls
    // instead of stretching the window off the screen.
    QStringList lines;
    for (const std::string& failure : failures)
        lines << QString::fromStdString(failure);
    m_list = new QPlainTextEdit(lines.join(QStringLiteral("\n\n")), this);
    m_list->setReadOnly(true);
    m_list->setMinimumSize(520, 160);

    auto* question =
        new QLabel(QStringLiteral("EKO-KOM takový výkaz vrátí k opravě. Opravte "
                                  "hmotnosti nebo zařazení obalů, případně EKO-KOM ID, "
                                  "a výkaz sestavte znovu.\n"
                                  "Přejete si výkaz přesto uložit?"),
                   this);
    question->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    m_write = buttons->addButton(QStringLiteral("&Uložit přesto"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("&Neukládat"), QDialogButtonBox::RejectRole);
    m_cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(intro, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(question);
    layout->addWidget(buttons);
    m_cancel->setFocus();
}

} // namespace tarvo
