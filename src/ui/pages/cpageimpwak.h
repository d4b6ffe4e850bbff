#pragma once

#include "core/import/waksettings.h"

#include <QWizardPage>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarvo {

struct GuiContext;

// "Připojení k databázi WAK ": the server, the database and the login, with a
// button that tries the connection.
class CPageImpWAK : public QWizardPage {
    Q_OBJECT
public:
    CPageImpWAK(const GuiContext& context, const WakConnectionSettings& stored,
                QWidget* parent = nullptr);

    bool validatePage() override;

    // The values as entered (the stored ODBC string kept as it was).
    WakConnectionSettings Settings() const;

    QLineEdit* ServerEdit() const { return m_server; }
    QLineEdit* DatabaseEdit() const { return m_database; }
    QRadioButton* SqlServerAuth() const { return m_sqlAuth; }
    QRadioButton* WindowsAuth() const { return m_windowsAuth; }
    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QPushButton* TestButton() const { return m_test; }

private:
    void UpdateEnabling();
    // Checks the fields; the trimmed values replace the typed ones.
    bool Validate(WakConnectionSettings& settings);
    void ShowValues(const WakServer& server);
    void TestConnection();

    const GuiContext& m_context;
    std::string m_odbc;
    QLineEdit* m_server;
    QLineEdit* m_database;
    QRadioButton* m_sqlAuth;
    QRadioButton* m_windowsAuth;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_test;
};

} // namespace tarvo
