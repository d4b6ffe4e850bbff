#include "core/report/reportdata.h"

#include "core/data/profile.h"

#include <array>

namespace tarvo {

namespace {

constexpr const char* Section = "Spolecnost";
constexpr size_t MaxChars = 1000;

struct Key {
    const char* name;
    std::string CompanyData::*field;
};

constexpr std::array<Key, 10> Keys = {{
    {"Nazev", &CompanyData::name},
    {"Sidlo", &CompanyData::seat},
    {"ICO", &CompanyData::ico},
    {"DIC", &CompanyData::dic},
    {"EKOKOM_ID", &CompanyData::ekokomId},
    {"MailInv", &CompanyData::mailInvoices},
    {"KontaktniOsoba", &CompanyData::contactPerson},
    {"Mail", &CompanyData::mail},
    {"Tel", &CompanyData::phone},
    {"Fax", &CompanyData::fax},
}};

} // namespace

ReportPeriod DefaultReportPeriod(OleDate today) {
    const int current = (today.Month() - 1) / 3 + 1;
    ReportPeriod period;
    period.quarter = current == 1 ? 4 : current - 1;
    period.year = current == 1 ? today.Year() - 1 : today.Year();
    return period;
}

CompanyData LoadCompanyData(const Profile& profile) {
    CompanyData company;
    for (const Key& key : Keys)
        company.*key.field = profile.GetString(Section, key.name, "", MaxChars);
    return company;
}

bool StoreCompanyData(Profile& profile, const CompanyData& company) {
    bool written = true;
    for (const Key& key : Keys)
        written = profile.WriteString(Section, key.name, company.*key.field) && written;
    return written;
}

bool LoadBreakdownChoice(const Profile& profile) {
    return profile.GetInt("Vykaz", "Rozpis", 0) != 0;
}

bool StoreBreakdownChoice(Profile& profile, bool breakdown) {
    return profile.WriteInt("Vykaz", "Rozpis", breakdown ? 1 : 0);
}

} // namespace tarvo
