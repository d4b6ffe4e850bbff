#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/report/breakdown.h"
#include "core/report/formbuild.h"
#include "core/report/formlayout.h"
#include "core/report/quartercheck.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"

#include <functional>
#include <ostream>

namespace tarvo::cli {

namespace {

// The quarter and year of the command line; what is left out is the period
// the report dialog would propose today.
ReportPeriod PeriodArguments(CliArgs& args) {
    ReportPeriod period = DefaultReportPeriod(OleDate::Today());
    if (const std::optional<long> year = args.Number("year")) {
        if (*year < MinReportYear || *year > MaxReportYear)
            throw CliError{
                Format("Rok musí být celé číslo od %i do %i.", MinReportYear, MaxReportYear)};
        period.year = static_cast<int>(*year);
    }
    if (const std::optional<long> quarter = args.Number("quarter")) {
        if (*quarter < 1 || *quarter > 4)
            throw CliError{"Čtvrtletí musí být celé číslo od 1 do 4."};
        period.quarter = static_cast<int>(*quarter);
    }
    return period;
}

// Builds a statement under the terminal's progress and prints its path, and
// with a breakdown asked for, the breakdown's path on the next line; both
// forms of the statement end this way.
int PrintStatement(
    CliContext& context, bool breakdown,
    const std::function<std::optional<std::string>(IProgressPort&)>& build,
    const std::function<std::optional<std::string>(const std::string&)>& buildBreakdown) {
    context.err << ReportProgressCaption << std::endl;
    std::optional<std::string> output;
    {
        TerminalProgress progress(context.err);
        output = build(progress);
    }
    if (!output)
        return 1;
    context.out << *output << std::endl;
    if (!breakdown)
        return 0;
    const std::optional<std::string> parts = buildBreakdown(*output);
    if (!parts)
        return 1;
    context.out << *parts << std::endl;
    return 0;
}

// The statement in force since 2021, filled into the form EKO-KOM sent: the
// lines left out are told first, failed checks of the data on stderr.
int ReportIntoForm(CliContext& context, const ReportPeriod& period, bool corrective,
                   bool breakdown) {
    FormReportParams params;
    params.year = period.year;
    params.quarter = period.quarter;
    params.corrective = corrective;
    const std::optional<std::string> form = context.args.Option("form");
    params.orderNumber = context.args.Option("order-number").value_or("");
    const bool allowFailures = context.args.Flag("allow-check-failures");
    context.args.ExpectEnd();
    if (!form)
        throw CliError{"Od roku 2021 se výkaz vyplňuje do formuláře, který poslal EKO-KOM: "
                       "zadejte jej (--form SOUBOR.xlsx)."};
    params.formPath = *form;
    params.company = LoadCompanyData(Profile(context.data.SettingsPath()));
    params.writeDespiteFailures = [&](const std::vector<std::string>& failures) {
        for (const std::string& failure : failures)
            context.err << failure << "\n";
        if (!allowFailures)
            context.err << "Výkaz nebyl uložen; s --allow-check-failures se uloží i tak.\n";
        context.err.flush();
        return allowFailures;
    };

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    try {
        context.err << QuarterGapsText(CountQuarterGaps(store, period.year, period.quarter))
                    << std::endl;
        const std::string leftOut = SummarizeLeftOut(store, period.year, period.quarter).Text();
        if (!leftOut.empty())
            context.err << leftOut << std::endl;
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    return PrintStatement(
        context, breakdown,
        [&](IProgressPort& progress) {
            return BuildFormReport(store, progress, context.data, params);
        },
        [&](const std::string& statement) {
            return BuildFormBreakdown(store, statement, period.year, period.quarter);
        });
}

int ExplainCurrentFormCell(CliContext& context, const ReportPeriod& period,
                           const std::string& sheet, const std::string& cell,
                           const std::optional<std::string>& form) {
    if (FindFormSheet(sheet) < 0)
        throw CliError{Format("Výkaz nemá list \"%s\".", sheet.c_str())};
    try {
        ParseCellAddress(cell);
    } catch (const ComError&) {
        throw CliError{Format("Neplatná adresa buňky \"%s\".", cell.c_str())};
    }
    const std::optional<std::string> path =
        form ? form
             : FindFormStatement(context.data.folder + "Vykazy", period.year, period.quarter);
    if (!path)
        throw CliError{Format("Výkaz za %i. čtvrtletí %i zatím není ve složce Vykazy: zadejte "
                              "formulář (--form SOUBOR.xlsx).",
                              period.quarter, period.year)};
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    const std::optional<std::vector<std::string>> lines =
        ExplainFormReportCell(store, *path, period.year, period.quarter, sheet, cell);
    if (!lines)
        return 1;
    for (const std::string& line : *lines)
        context.out << line << "\n";
    context.out.flush();
    return 0;
}

} // namespace

int CmdReport(CliContext& context) {
    const ReportPeriod period = PeriodArguments(context.args);
    const bool corrective = context.args.Flag("corrective");
    const bool breakdown = context.args.Flag("breakdown");
    if (UsesCurrentForm(period.year))
        return ReportIntoForm(context, period, corrective, breakdown);
    ReportParams params;
    params.year = period.year;
    params.quarter = period.quarter;
    params.corrective = corrective;
    context.args.ExpectEnd();
    params.company = LoadCompanyData(Profile(context.data.SettingsPath()));

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    // The check comes before the statement, so that a script's log says
    // what the figures leave out.
    context.err << QuarterGapsText(CountQuarterGaps(store, params.year, params.quarter))
                << std::endl;
    return PrintStatement(
        context, breakdown,
        [&](IProgressPort& progress) { return BuildReport(store, progress, context.data, params); },
        [&](const std::string& statement) {
            return BuildReportBreakdown(store, statement, params.year, params.quarter);
        });
}

int CmdExplain(CliContext& context) {
    const ReportPeriod period = PeriodArguments(context.args);
    const std::optional<std::string> sheet = context.args.Option("sheet");
    const std::optional<std::string> cell = context.args.Option("cell");
    const std::optional<std::string> form =
        UsesCurrentForm(period.year) ? context.args.Option("form") : std::nullopt;
    context.args.ExpectEnd();
    if (!sheet || !cell)
        throw CliError{"Zadejte list výkazu (--sheet 1-1) a buňku (--cell G25)."};
    if (UsesCurrentForm(period.year))
        return ExplainCurrentFormCell(context, period, *sheet, *cell, form);
    if (!FindReportSheet(*sheet))
        throw CliError{Format("Výkaz nemá list \"%s\".", sheet->c_str())};

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    // The cell addresses depend on the form of the quarter's template.
    const std::optional<std::string> templatePath =
        FindReportTemplate(context.data, period.year, period.quarter);
    if (!templatePath) {
        context.messages.ShowMessage(
            Format("Nemohu najít soubor s předlohou výkazu \"%s_%i\"",
                   YearTemplatePath(context.data.folder, period.year).c_str(), period.quarter),
            MsgIcon::Exclamation);
        return 1;
    }
    try {
        const Breakdown breakdown =
            ComputeBreakdown(store, period.year, period.quarter, ReadReportVersion(*templatePath));
        const auto lines = ExplainCell(breakdown, *sheet, *cell);
        if (!lines)
            throw CliError{Format("Neplatná adresa buňky \"%s\".", cell->c_str())};
        for (const std::string& line : *lines)
            context.out << line << "\n";
        context.out.flush();
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    return 0;
}

int CmdMakeTemplate(CliContext& context) {
    const ReportPeriod period = PeriodArguments(context.args);
    const std::optional<std::string> out = context.args.Option("out");
    context.args.ExpectEnd();
    const std::string path =
        out ? *out : QuarterTemplatePath(context.data.folder, period.year, period.quarter);
    const std::string parent = PathText(PathOf(path).parent_path());
    if (!parent.empty() && !CreatePath(parent)) {
        context.err << Format("Nemohu vytvořit složku '%s'", parent.c_str()) << std::endl;
        return 1;
    }
    try {
        MakeReportTemplate(path, period.year, period.quarter);
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    context.out << path << std::endl;
    return 0;
}

} // namespace tarvo::cli
