#pragma once

#include "core/data/oledate.h"

#include <string>

namespace tarvo {

class Profile;

// The company texts the intro sheet of the report carries. They are kept in
// the settings file, section "Spolecnost", between reports.
struct CompanyData {
    std::string name;          // "Nazev"
    std::string seat;          // "Sidlo"
    std::string ico;           // "ICO"
    std::string dic;           // "DIC"
    std::string ekokomId;      // "EKOKOM_ID"
    std::string mailInvoices;  // "MailInv"
    std::string contactPerson; // "KontaktniOsoba"
    std::string mail;          // "Mail"
    std::string phone;         // "Tel"
    std::string fax;           // "Fax"

    bool operator==(const CompanyData&) const = default;
};

// Years a report can be made for.
constexpr int MinReportYear = 2000;
constexpr int MaxReportYear = 2099;

// The statement in force since 2021 is filled from the first quarter of 2021
// on; earlier quarters keep the form with the sheets 1-1 ... 4-1.
constexpr int CurrentFormFirstYear = 2021;
inline bool UsesCurrentForm(int year) {
    return year >= CurrentFormFirstYear;
}

// The year whose old-form templates a new data folder gets: the year itself
// while it still used the old statement, else the last year that did.
inline int StarterTemplateYear(int year) {
    return UsesCurrentForm(year) ? CurrentFormFirstYear - 1 : year;
}

struct ReportPeriod {
    int quarter = 1;
    int year = MinReportYear;
};

// The quarter proposed on a given day: the last one that has ended, so a
// statement is never proposed for a quarter whose dispatches are still coming
// in; January to March propose the fourth quarter of the year before.
ReportPeriod DefaultReportPeriod(OleDate today);

// Missing keys read as empty texts, each value at most 1000 characters.
CompanyData LoadCompanyData(const Profile& profile);
// Every key is written, an empty text as an empty value. False when the file
// could not be written; the report goes on with the values all the same.
bool StoreCompanyData(Profile& profile, const CompanyData& company);

// Whether the report dialog builds the breakdown beside the statement: kept
// in the settings file (section "Vykaz", key "Rozpis"), off until chosen.
bool LoadBreakdownChoice(const Profile& profile);
bool StoreBreakdownChoice(Profile& profile, bool breakdown);

} // namespace tarvo
