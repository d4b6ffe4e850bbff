#include "core/import/waksettings.h"

#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"

namespace tarvo {

namespace {

// ScrambleText keeps this many bytes of a password.
constexpr size_t MaxPasswordBytes = 20;

} // namespace

WakConnectionSettings WakConnectionSettings::Load(const Profile& profile) {
    WakConnectionSettings s;
    s.server.server = profile.GetString(WakImportSection, "Server", "(local)", 1000);
    s.server.database = profile.GetString(WakImportSection, "Databaze", "", 1000);
    s.server.windowsAuth = profile.GetInt(WakImportSection, "Autentikace", 0) == 1;
    s.server.user = profile.GetString(WakImportSection, "Uzivatel", "sa", 1000);
    s.server.password = UnscrambleText(profile.GetString(WakImportSection, "Heslo", "", 1000));
    s.odbc = profile.GetString(WakImportSection, "ODBC", "", 1000);
    return s;
}

bool WakConnectionSettings::Save(Profile& profile) const {
    bool ok = profile.WriteString(WakImportSection, "Server", server.server);
    ok = profile.WriteString(WakImportSection, "Databaze", server.database) && ok;
    ok = profile.WriteString(WakImportSection, "Autentikace",
                             Format("%li", server.windowsAuth ? 1L : 0L)) &&
         ok;
    ok = profile.WriteString(WakImportSection, "Uzivatel", server.user) && ok;
    ok = profile.WriteString(WakImportSection, "Heslo", ScrambleText(server.password)) && ok;
    return ok;
}

WakConnectionField ValidateWakConnection(WakServer& server, IMessagePort& messages) {
    server.server = Trim(server.server);
    server.database = Trim(server.database);
    server.user = Trim(server.user);
    if (server.server.empty()) {
        messages.ShowMessage("Zadejte server!", MsgIcon::Exclamation);
        return WakConnectionField::Server;
    }
    if (server.database.empty()) {
        messages.ShowMessage("Zadejte databázi!", MsgIcon::Exclamation);
        return WakConnectionField::Database;
    }
    if (!server.windowsAuth && server.user.empty()) {
        messages.ShowMessage("Zadejte uživatele!", MsgIcon::Exclamation);
        return WakConnectionField::User;
    }
    // A longer password would be stored cut short and fail at the next import.
    if (!server.windowsAuth && server.password.size() > MaxPasswordBytes) {
        messages.ShowMessage(
            "Heslo může mít nejvýše 20 znaků (písmeno s diakritikou se počítá za dva)!",
            MsgIcon::Exclamation);
        return WakConnectionField::Password;
    }
    return WakConnectionField::None;
}

bool TestWakConnection(WakConnectionSettings& settings, IMessagePort& messages) {
    if (ValidateWakConnection(settings.server, messages) != WakConnectionField::None)
        return false;
    WakConnection connection(messages);
    if (!connection.Connect(settings.server, settings.odbc))
        return false;
    messages.ShowMessage("Spojení s databází vytvořeno!", MsgIcon::Information);
    connection.Close();
    return true;
}

WakImportParams WakImportParams::Load(const Profile& profile, OleDate today) {
    WakImportParams p;
    p.choices = ReadImportChoices(profile, WakImportSection);
    PreviousQuarter(today, p.from, p.to);
    return p;
}

bool WakImportParams::Save(Profile& profile) const {
    return WriteImportChoices(profile, WakImportSection, choices);
}

void PreviousQuarter(OleDate today, OleDate& from, OleDate& to) {
    int year = today.Year();
    int quarter = (today.Month() - 1) / 3; // 0-based quarter of today
    if (quarter == 0) {
        quarter = 4;
        --year;
    }
    const int firstMonth = (quarter - 1) * 3 + 1;
    from = OleDate::FromParts(year, firstMonth, 1);
    // The day before the first day of the quarter that follows.
    const OleDate next = quarter == 4 ? OleDate::FromParts(year + 1, 1, 1)
                                      : OleDate::FromParts(year, firstMonth + 3, 1);
    to = next.AddDays(-1).WithTime(23, 59, 59);
}

bool ValidateWakParams(WakImportParams& params, IMessagePort& messages) {
    if (!params.choices.products && !params.choices.documents) {
        messages.ShowMessage("Není vybrán import produktů ani dokladů!", MsgIcon::Exclamation);
        return false;
    }
    if (!params.choices.documents)
        return true;
    WholeDayRange(params.from, params.to);
    if (params.from > params.to) {
        messages.ShowMessage("Datum od nesmí být větší než datum do!", MsgIcon::Exclamation);
        return false;
    }
    return true;
}

} // namespace tarvo
