#include "support/aboutbox.h"

#include "core/data/shared.h"
#include "core/ports/messageport.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarvo {

namespace {

QLabel* LinkLabel(const QString& text, const QString& target, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff\">%2</a>")
                                 .arg(target.toHtmlEscaped(), text.toHtmlEscaped()),
                             parent);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    return label;
}

} // namespace

QString VersionText(const QString& version, const QString& buildDate) {
    // The compiler writes the day in English ("Jul  2 2012"); the box says it
    // the Czech way.
    const QDate day = QLocale::c().toDate(buildDate.simplified(), QStringLiteral("MMM d yyyy"));
    const QString shown = day.isValid() ? day.toString(QStringLiteral("d. M. yyyy")) : buildDate;
    return QStringLiteral("Tarvo, verze %1  (rel. %2)").arg(version, shown);
}

QString ProgramVersionText() {
    return VersionText(QStringLiteral(TARVO_VERSION), QStringLiteral(__DATE__));
}

QUrl FeedbackMailUrl(const QString& address, const QString& versionText) {
    // The subject is percent-encoded whole (UTF-8; a blank as %20, never +),
    // so that the quotes, blanks and Czech letters reach the mail program as
    // written.
    const QString subject = QStringLiteral("Připomínka k programu \"%1\"").arg(versionText);
    return QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject=") +
                    QString::fromLatin1(QUrl::toPercentEncoding(subject)),
                QUrl::StrictMode);
}

AboutBox::AboutBox(IMessagePort& messages, QWidget* parent)
    : QDialog(parent), openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      m_messages(messages) {
    setWindowTitle(QStringLiteral("O aplikaci Tarvo"));
    auto* icon = new QLabel(this);
    const QIcon programIcon = qApp->windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
                                  : qApp->windowIcon();
    icon->setPixmap(programIcon.pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    m_version = new QLabel(ProgramVersionText(), this);
    m_mail = LinkLabel(QString::fromUtf8(contact::Mail), QStringLiteral("mail"), this);
    m_web = LinkLabel(QString::fromUtf8(contact::Web), QStringLiteral("web"), this);
    connect(m_mail, &QLabel::linkActivated, this, &AboutBox::SendFeedback);
    connect(m_web, &QLabel::linkActivated, this, &AboutBox::OpenWeb);

    auto* text = new QVBoxLayout;
    text->addWidget(m_version);
    text->addSpacing(6);
    for (const char* line : {contact::Company, contact::Address, contact::Phone})
        text->addWidget(new QLabel(QString::fromUtf8(line), this));
    text->addWidget(m_mail);
    text->addWidget(m_web);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0);
    grid->addLayout(text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::SendFeedback() {
    const QString address = QString::fromUtf8(contact::Mail);
    if (openUrl(FeedbackMailUrl(address, m_version->text())))
        return;
    m_messages.ShowMessage(Format("Nepodařilo se spustit poštovní program pro psaní připomínky.\n"
                                  "Napište nám prosím na adresu %s.",
                                  contact::Mail),
                           MsgIcon::Exclamation);
}

void AboutBox::OpenWeb() {
    if (openUrl(QUrl(QString::fromUtf8(contact::Web))))
        return;
    m_messages.ShowMessage(
        Format("Nepodařilo se otevřít webovou stránku %s v prohlížeči.", contact::Web),
        MsgIcon::Exclamation);
}

} // namespace tarvo
