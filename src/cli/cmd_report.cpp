#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"

#include <filesystem>
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

} // namespace

int CmdReport(CliContext& context) {
    const ReportPeriod period = PeriodArguments(context.args);
    ReportParams params;
    params.year = period.year;
    params.quarter = period.quarter;
    params.corrective = context.args.Flag("corrective");
    context.args.ExpectEnd();
    params.company = LoadCompanyData(CProfile(context.data.SettingsPath()));

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    context.err << ReportProgressCaption << std::endl;
    std::optional<std::string> output;
    {
        TerminalProgress progress(context.err);
        output = BuildReport(store, progress, context.data, params, OleDate::Today());
    }
    if (!output)
        return 1;
    context.out << *output << std::endl;
    return 0;
}

int CmdMakeTemplate(CliContext& context) {
    const ReportPeriod period = PeriodArguments(context.args);
    const std::optional<std::string> out = context.args.Option("out");
    context.args.ExpectEnd();
    const std::string path =
        out ? *out : QuarterTemplatePath(context.data.folder, period.year, period.quarter);
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty() && !CreatePath(parent.string())) {
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
