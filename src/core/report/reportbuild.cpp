#include "core/report/reportbuild.h"

#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/ports/progressport.h"
#include "core/report/breakdown.h"
#include "core/report/reportfills.h"
#include "core/workbook/workbook.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tarvo {

namespace {

constexpr const char* IntroSheet = "Úvod";
// Templates from this version on carry their quarter in D4 of the intro sheet.
constexpr Quantity QuarterCellVersion = Quantity::FromScaled(21100);
// Templates from this version on ask for the e-mail for invoices and have the
// company block two rows lower.
constexpr Quantity InvoiceMailVersion = Quantity::FromScaled(20200);
// From this version on a template names its quarter in D4, and a template of
// this version or later serves every later year.
constexpr Quantity CurrentFormVersion = Quantity::FromScaled(21900);
constexpr int CurrentFormYear = 2012;

// The leading whole number of a text, as the C library reads it ("12a" is 12,
// "x" is 0).
long WholeNumber(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(PathOf(path), ec);
}

void WriteIntroSheet(Worksheet& intro, const ReportParams& params, Quantity version) {
    const CompanyData& c = params.company;
    if (version < QuarterCellVersion)
        intro.PutInteger("D4:D4", params.quarter);
    if (params.corrective)
        intro.PutText("D5:D5", "opravný");
    intro.PutText("D7:D7", c.name);
    intro.PutText("D9:D9", c.seat);
    if (version < InvoiceMailVersion) {
        intro.PutText("C11:C11", c.ico);
        intro.PutText("F11:F11", c.dic);
        intro.PutText("F13:F13", c.ekokomId);
        intro.PutText("D17:D17", c.contactPerson);
        intro.PutText("C18:C18", c.phone);
        intro.PutText("C19:C19", c.fax);
        intro.PutText("C20:C20", c.mail);
    } else {
        intro.PutText("E11:E11", c.mailInvoices);
        intro.PutText("C13:C13", c.ico);
        intro.PutText("F13:F13", c.dic);
        intro.PutText("F15:F15", c.ekokomId);
        intro.PutText("D19:D19", c.contactPerson);
        intro.PutText("C20:C20", c.phone);
        intro.PutText("C21:C21", c.fax);
        intro.PutText("C22:C22", c.mail);
    }
}

// Why a started report stopped: already shown to the user, the copy to be removed.
struct ReportStopped {};

} // namespace

QuarterDays QuarterPeriod(int year, int quarter) {
    switch (quarter) {
    case 1:
        return {OleDate::FromParts(year, 1, 1), OleDate::FromParts(year, 3, 31)};
    case 2:
        return {OleDate::FromParts(year, 4, 1), OleDate::FromParts(year, 6, 30)};
    case 3:
        return {OleDate::FromParts(year, 7, 1), OleDate::FromParts(year, 9, 30)};
    default:
        return {OleDate::FromParts(year, 10, 1), OleDate::FromParts(year, 12, 31)};
    }
}

std::string QuarterTemplatePath(const std::string& folder, int year, int quarter) {
    return Format("%svykaz%4i_%i.tpl", folder.c_str(), year, quarter);
}

std::string YearTemplatePath(const std::string& folder, int year) {
    return Format("%svykaz%4i.tpl", folder.c_str(), year);
}

std::optional<std::string> FindReportTemplate(const DataFolder& data, int year, int quarter) {
    std::vector<std::string> names{QuarterTemplatePath("", year, quarter)};
    if (year >= 2009) {
        for (int q = quarter - 1; q >= 1; --q)
            names.push_back(QuarterTemplatePath("", year, q));
    }
    names.push_back(YearTemplatePath("", year));
    for (const std::string& name : names) {
        for (const std::string* folder : {&data.folder, &data.resources}) {
            if (!folder->empty() && FileExists(*folder + name))
                return *folder + name;
        }
    }
    return std::nullopt;
}

std::string StatementPath(const std::string& reportFolder, int year, int quarter, bool corrective) {
    const std::string base =
        reportFolder + Format("/vykaz_%i_%i_%s", year, quarter, corrective ? "opravny" : "radny");
    std::string path = base + ".xlsx";
    for (int n = 2; FileExists(path) || FileExists(BreakdownPath(path)); ++n)
        path = base + Format("_%i.xlsx", n);
    return path;
}

Quantity ParseTemplateVersion(const std::string& text) {
    const size_t point = text.find('.');
    if (point != std::string::npos && point + 1 < text.size()) {
        const long whole = WholeNumber(text.substr(0, point));
        const long hundredths = WholeNumber(text.substr(point + 1));
        return Quantity::FromScaled(whole * Quantity::Scale + hundredths * (Quantity::Scale / 100));
    }
    return Quantity::FromUnits(WholeNumber(text));
}

bool TemplateMatches(const std::string& versionText, Quantity version, int templateQuarter,
                     int year, int quarter) {
    struct Row {
        const char* text;
        int year;
        int fromQuarter;
        int toQuarter;
    };
    static constexpr Row TextRows[] = {
        {"1.4", 2003, 1, 4},  {"1.5", 2004, 1, 1}, {"2.0", 2004, 2, 4}, {"2.1", 2005, 1, 4},
        {"2.2", 2006, 1, 1},  {"2.3", 2006, 2, 2}, {"2.5", 2007, 1, 4}, {"2.6", 2008, 1, 2},
        {"2.7", 2008, 1, 4},  {"2.8", 2009, 1, 1}, {"2.9", 2009, 2, 2}, {"2.10", 2009, 3, 4},
        {"2.11", 2010, 1, 1},
    };
    for (const Row& row : TextRows) {
        if (versionText == row.text && year == row.year && quarter >= row.fromQuarter &&
            quarter <= row.toQuarter)
            return true;
    }
    if (versionText == "2.4" && year >= 2006)
        return true;
    if (version > Quantity::FromScaled(21100) && year == 2010 && quarter >= 2)
        return true;
    if (version >= Quantity::FromScaled(21500) && year == 2011)
        return true;
    // The current form names its quarter; it serves 2012 and every later year.
    return version >= CurrentFormVersion && year >= CurrentFormYear && templateQuarter == quarter;
}

std::optional<std::string> BuildReport(CDataStore& store, IProgressPort& progress,
                                       const DataFolder& dataFolder, const ReportParams& params) {
    IMessagePort& messages = store.Messages();
    const QuarterDays period = QuarterPeriod(params.year, params.quarter);

    const std::optional<std::string> templatePath =
        FindReportTemplate(dataFolder, params.year, params.quarter);
    if (!templatePath) {
        messages.ShowMessage(Format("Nemohu najít soubor s předlohou výkazu \"%s_%i\"",
                                    YearTemplatePath(dataFolder.folder, params.year).c_str(),
                                    params.quarter),
                             MsgIcon::Exclamation);
        return std::nullopt;
    }

    const std::string reportFolder = dataFolder.folder + "Vykazy";
    CreatePath(reportFolder);
    const std::string output =
        StatementPath(reportFolder, params.year, params.quarter, params.corrective);
    std::error_code ec;
    if (!std::filesystem::copy_file(PathOf(*templatePath), PathOf(output),
                                    std::filesystem::copy_options::none, ec)) {
        messages.ShowMessage(Format("Nemohu vytvořit soubor \"%s\"!", output.c_str()),
                             MsgIcon::Error);
        return std::nullopt;
    }

    progress.SetRange(0, 200);
    progress.SetStatus("Spouštím excel");

    Workbook book;
    try {
        book.Open(output);
        Worksheet* intro = book.Sheet(IntroSheet);
        if (!intro) {
            messages.ShowMessage(
                Format("Soubor '%s' neobsahuje předlohu výkazu", templatePath->c_str()),
                MsgIcon::Exclamation);
            throw ReportStopped{};
        }
        progress.SetStatus("sešit Úvod");
        intro->Activate();
        std::string versionText = intro->GetText("A1:A1");
        std::replace(versionText.begin(), versionText.end(), ',', '.');
        const Quantity version = ParseTemplateVersion(versionText);
        const int templateQuarter = version >= QuarterCellVersion
                                        ? static_cast<int>(WholeNumber(intro->GetText("D4:D4")))
                                        : params.quarter;
        if (!TemplateMatches(versionText, version, templateQuarter, params.year, params.quarter)) {
            messages.ShowMessage(Format("Soubor '%s'\nneobsahuje předlohu výkazu pro %i. "
                                        "čtvrtletí %i!",
                                        templatePath->c_str(), params.quarter, params.year),
                                 MsgIcon::Exclamation);
            throw ReportStopped{};
        }
        WriteIntroSheet(*intro, params, version);

        const QuarterDispatches quarter(store, period.first, period.last);
        for (const ReportSheet& data : ReportSheets) {
            Worksheet* sheet = book.Sheet(data.name);
            if (!sheet)
                continue;
            progress.SetStatus(Format("sešit %s", data.name));
            sheet->Activate();
            FillReportSheet(store, progress, *sheet, data, quarter, period.first, period.last,
                            version);
        }

        if (Worksheet* again = book.Sheet(IntroSheet))
            again->Activate();
        book.Save();
        book.Close();
        return output;
    } catch (const ReportStopped&) {
    } catch (const ComError& e) {
        ShowComError(messages, e);
    } catch (const std::exception& e) {
        // Reported as well, so that a report that was not made never looks made.
        ShowComError(messages, ComError(ComError::Fail, e.what()));
    }
    book.Close();
    std::filesystem::remove(PathOf(output), ec);
    return std::nullopt;
}

Quantity ReadReportVersion(const std::string& path) {
    Workbook book;
    book.Open(path);
    Worksheet* intro = book.Sheet(IntroSheet);
    if (!intro)
        throw ComError(WorkbookError::BadIndex,
                       Format("Soubor '%s' neobsahuje list \"%s\".", path.c_str(), IntroSheet));
    std::string versionText = intro->GetText("A1:A1");
    std::replace(versionText.begin(), versionText.end(), ',', '.');
    return ParseTemplateVersion(versionText);
}

std::optional<std::string> BuildReportBreakdown(CDataStore& store, const std::string& statementPath,
                                                int year, int quarter) {
    const std::string path = BreakdownPath(statementPath);
    try {
        const Breakdown breakdown =
            ComputeBreakdown(store, year, quarter, ReadReportVersion(statementPath));
        WriteBreakdownWorkbook(breakdown, path);
        return path;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
    } catch (const std::exception& e) {
        ShowComError(store.Messages(), ComError(ComError::Fail, e.what()));
    }
    return std::nullopt;
}

} // namespace tarvo
