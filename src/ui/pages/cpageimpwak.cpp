#include "ui/pages/cpageimpwak.h"

#include "core/ports/messageport.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

CPageImpWAK::CPageImpWAK(const GuiContext& context, const WakConnectionSettings& stored,
                         QWidget* parent)
    : QWizardPage(parent), m_context(context), m_odbc(stored.odbc) {
    setTitle(QStringLiteral("Připojení k databázi WAK "));
    m_server = new QLineEdit(this);
    m_database = new QLineEdit(this);
    m_sqlAuth = new QRadioButton(QStringLiteral("S&QL Server"), this);
    m_windowsAuth = new QRadioButton(QStringLiteral("&Windows"), this);
    auto* auth = new QButtonGroup(this);
    auth->addButton(m_sqlAuth);
    auth->addButton(m_windowsAuth);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_test = new QPushButton(QStringLiteral("&Otestovat spojení..."), this);
    ShowValues(stored.server);

    auto* top = new QWidget(this);
    FormGrid server(top);
    server.AddRow(QStringLiteral("&Server:"), m_server);
    // "&Další >" of the wizard has the D.
    server.AddRow(QStringLiteral("D&atabáze:"), m_database);
    server.Layout()->setContentsMargins(0, 0, 0, 0);
    top->setLayout(server.Layout());

    auto* login = new QGroupBox(QStringLiteral("Autentikace"), this);
    auto* loginLayout = new QVBoxLayout(login);
    auto* authRow = new QHBoxLayout;
    authRow->addWidget(m_sqlAuth);
    authRow->addWidget(m_windowsAuth);
    authRow->addStretch();
    loginLayout->addLayout(authRow);
    auto* credentials = new QWidget(login);
    FormGrid user(credentials);
    user.AddRow(QStringLiteral("&Uživatel:"), m_user);
    user.AddRow(QStringLiteral("&Heslo:"), m_password);
    user.Layout()->setContentsMargins(0, 0, 0, 0);
    credentials->setLayout(user.Layout());
    loginLayout->addWidget(credentials);

    auto* testRow = new QHBoxLayout;
    testRow->addStretch();
    testRow->addWidget(m_test);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(login);
    layout->addLayout(testRow);
    layout->addStretch();

    connect(m_sqlAuth, &QRadioButton::toggled, this, &CPageImpWAK::UpdateEnabling);
    connect(m_test, &QPushButton::clicked, this, &CPageImpWAK::TestConnection);
    UpdateEnabling();
}

void CPageImpWAK::ShowValues(const WakServer& server) {
    m_server->setText(QString::fromStdString(server.server));
    m_database->setText(QString::fromStdString(server.database));
    (server.windowsAuth ? m_windowsAuth : m_sqlAuth)->setChecked(true);
    m_user->setText(QString::fromStdString(server.user));
    m_password->setText(QString::fromStdString(server.password));
}

void CPageImpWAK::UpdateEnabling() {
    const bool sqlLogin = WakUserFieldsEnabled(Settings().server);
    m_user->setEnabled(sqlLogin);
    m_password->setEnabled(sqlLogin);
}

WakConnectionSettings CPageImpWAK::Settings() const {
    WakConnectionSettings settings;
    settings.server.server = m_server->text().toStdString();
    settings.server.database = m_database->text().toStdString();
    settings.server.windowsAuth = m_windowsAuth->isChecked();
    settings.server.user = m_user->text().toStdString();
    settings.server.password = m_password->text().toStdString();
    settings.odbc = m_odbc;
    return settings;
}

bool CPageImpWAK::Validate(WakConnectionSettings& settings) {
    const WakConnectionField missing = ValidateWakConnection(settings.server, m_context.messages);
    ShowValues(settings.server);
    switch (missing) {
    case WakConnectionField::None:
        return true;
    case WakConnectionField::Server:
        m_server->setFocus();
        break;
    case WakConnectionField::Database:
        m_database->setFocus();
        break;
    case WakConnectionField::User:
        m_user->setFocus();
        break;
    case WakConnectionField::Password:
        m_password->setFocus();
        break;
    }
    return false;
}

void CPageImpWAK::TestConnection() {
    WakConnectionSettings settings = Settings();
    if (!Validate(settings))
        return;
    // A server that does not answer takes the login time-out.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WakConnection connection(m_context.messages);
    const bool connected = connection.Connect(settings.server, settings.odbc);
    QApplication::restoreOverrideCursor();
    if (connected)
        m_context.messages.ShowMessage("Spojení s databází vytvořeno!", MsgIcon::Information);
}

bool CPageImpWAK::validatePage() {
    WakConnectionSettings settings = Settings();
    return Validate(settings);
}

} // namespace tarvo
