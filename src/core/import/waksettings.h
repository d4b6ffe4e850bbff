#pragma once

#include "core/data/oledate.h"
#include "core/import/importframework.h"
#include "core/import/wakconnection.h"

#include <string>

namespace tarvo {

class Profile;
class IMessagePort;

// The connection page: the server values as stored, and the optional complete
// ODBC connection string (key "ODBC", set by hand, never written by the page)
// that replaces the built one, so any ODBC driver can be reached.
struct WakConnectionSettings {
    WakServer server;
    std::string odbc;

    // Defaults: server "(local)", no database, SQL Server authentication,
    // user "sa", no password. The password is stored scrambled.
    static WakConnectionSettings Load(const Profile& profile);
    // Writes the five page keys; the user and password stay stored under
    // Windows authentication too. False when the file cannot be written.
    bool Save(Profile& profile) const;
};

// The field a failed validation puts the focus on.
enum class WakConnectionField { None, Server, Database, User, Password };

// User and password are only used with SQL Server authentication.
inline bool WakUserFieldsEnabled(const WakServer& server) {
    return !server.windowsAuth;
}

// Trims server, database and user (the trimmed values replace the typed
// ones) and checks them; the first missing value is reported with the
// exclamation icon and named in the result.
WakConnectionField ValidateWakConnection(WakServer& server, IMessagePort& messages);

// The page's test button: validates, connects, reports "Spojení s databází
// vytvořeno!" and disconnects. True when the connection was made.
bool TestWakConnection(WakConnectionSettings& settings, IMessagePort& messages);

// The parameter page. The date range is not stored.
struct WakImportParams {
    ImportChoices choices;
    OleDate from;
    OleDate to;

    // The stored choices, and the previous quarter of today as the range.
    static WakImportParams Load(const Profile& profile, OleDate today);
    bool Save(Profile& profile) const;
};

// The calendar quarter before the one of today: its first day 00:00:00 to
// its last day 23:59:59.
void PreviousQuarter(OleDate today, OleDate& from, OleDate& to);

// "Finish" of the parameter page: at least one part must be selected; with
// documents the range is stretched to whole days and must not run backwards.
// False (after an exclamation message) keeps the page open.
bool ValidateWakParams(WakImportParams& params, IMessagePort& messages);

} // namespace tarvo
