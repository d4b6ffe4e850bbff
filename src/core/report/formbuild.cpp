#include "core/report/formbuild.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/ports/progressport.h"
#include "core/report/breakdown.h"
#include "core/report/formbreakdown.h"
#include "core/report/formlayout.h"
#include "core/report/formsums.h"
#include "core/report/reportbuild.h"
#include "core/workbook/workbook.h"

#include <filesystem>

namespace tarvo {

namespace {

// Úvod's fields and the company's keys: written only where the form is empty.
struct TitleField {
    const char* cell;
    std::string CompanyData::*field;
};
constexpr TitleField TitleFields[] = {
    {"D6", &CompanyData::name},           {"D8", &CompanyData::seat},
    {"E10", &CompanyData::mailInvoices},  {"C12", &CompanyData::ico},
    {"F12", &CompanyData::dic},           {"F14", &CompanyData::ekokomId},
    {"D18", &CompanyData::contactPerson}, {"C19", &CompanyData::phone},
    {"C20", &CompanyData::fax},           {"C21", &CompanyData::mail},
};

void WriteTitle(Worksheet& intro, const FormReportParams& params) {
    if (params.corrective)
        intro.PutText("D5", "OPRAVNÝ");
    if (!params.orderNumber.empty())
        intro.PutText("B14", params.orderNumber);
    for (const TitleField& f : TitleFields) {
        const std::string& value = params.company.*f.field;
        if (!value.empty() && intro.GetText(f.cell).empty())
            intro.PutText(f.cell, value);
    }
}

// The breakdown of a quarter with the cells of its parts in a form file.
struct BreakdownInForm {
    FormBreakdown breakdown;
    FormCellMap cells;
};

// Nothing when the form is refused or cannot be read: the reason has been shown.
std::optional<BreakdownInForm> BreakdownIn(CDataStore& store, const std::string& path, int year,
                                           int quarter) {
    IMessagePort& messages = store.Messages();
    Workbook form;
    try {
        form.Open(path);
        if (auto refusal = CheckFormWorkbook(form, path, year, quarter))
            throw FormRefusal{*refusal};
        BreakdownInForm result{ComputeFormBreakdown(store, year, quarter, HiddenFormSheets(form)),
                               {}};
        FormLayout layout(form, path);
        for (const FormBreakdown::Part& part : result.breakdown.parts)
            result.cells.try_emplace(part.cell, layout.Resolve(FormCellOfId(part.cell)));
        return result;
    } catch (const FormRefusal& refusal) {
        messages.ShowMessage(refusal.message, MsgIcon::Exclamation);
    } catch (const ComError& e) {
        ShowComError(messages, e);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> BuildFormReport(CDataStore& store, IProgressPort& progress,
                                           const DataFolder& dataFolder,
                                           const FormReportParams& params) {
    IMessagePort& messages = store.Messages();
    progress.SetRange(0, 100);
    progress.SetStatus("Kontroluji formulář výkazu");
    std::map<uint32_t, CellRef> cells;
    FormSums sums;
    {
        Workbook form;
        try {
            form.Open(params.formPath);
        } catch (const ComError&) {
            messages.ShowMessage(
                Format("Soubor „%s“ nelze přečíst jako sešit xlsx.", params.formPath.c_str()),
                MsgIcon::Exclamation);
            return std::nullopt;
        }
        try {
            if (auto refusal =
                    CheckFormWorkbook(form, params.formPath, params.year, params.quarter))
                throw FormRefusal{*refusal};
            const std::vector<bool> hidden = HiddenFormSheets(form);
            progress.SetStatus("Řadím obaly čtvrtletí do listů výkazu");
            progress.SetPos(10);
            sums = ComputeFormSums(store, params.year, params.quarter, hidden);
            if (auto fault = ReconcileComposites(sums)) {
                messages.ShowMessage(*fault, MsgIcon::Error);
                return std::nullopt;
            }
            progress.SetPos(60);
            FormLayout layout(form, params.formPath);
            for (const auto& [id, amount] : sums.cells)
                cells[id] = layout.Resolve(FormCellOfId(id));
            std::string ekokomId = form.Sheet(FormIntroSheet)->GetText("F14");
            if (ekokomId.empty())
                ekokomId = params.company.ekokomId;
            const std::vector<std::string> failures = CheckFormData(
                store, sums, [&](const FormTarget& t) { return layout.Resolve(t).row; }, ekokomId);
            if (!failures.empty() &&
                !(params.writeDespiteFailures && params.writeDespiteFailures(failures)))
                return std::nullopt;
        } catch (const FormRefusal& refusal) {
            messages.ShowMessage(refusal.message, MsgIcon::Exclamation);
            return std::nullopt;
        } catch (const ComError& e) {
            ShowComError(messages, e);
            return std::nullopt;
        }
    }

    const std::string folder = dataFolder.folder + "Vykazy";
    CreatePath(folder);
    const std::string output =
        StatementPath(folder, params.year, params.quarter, params.corrective);
    std::error_code ec;
    if (!std::filesystem::copy_file(PathOf(params.formPath), PathOf(output),
                                    std::filesystem::copy_options::none, ec)) {
        messages.ShowMessage(Format("Nemohu vytvořit soubor „%s“!", output.c_str()),
                             MsgIcon::Error);
        return std::nullopt;
    }
    progress.SetStatus("Vyplňuji výkaz");
    progress.SetPos(80);
    Workbook book;
    try {
        book.Open(output);
        for (const auto& [id, amount] : sums.cells) {
            const FormTarget target = FormCellOfId(id);
            const FormSheet& sheet = FormSheets()[target.sheet];
            const CellRef cell = cells.at(id);
            book.Sheet(sheet.name)
                ->PutDecimal(CellName(cell.column, cell.row),
                             IsPiecesColumn(sheet.kind, target.column)
                                 ? QuantityToPlainText(amount)
                                 : KilogramsToTonnesText(amount));
        }
        WriteTitle(*book.Sheet(FormIntroSheet), params);
        book.Save(Workbook::FormulaResults::Keep);
        book.Close();
        progress.SetPos(100);
        return output;
    } catch (const ComError& e) {
        ShowComError(messages, e);
    }
    book.Close();
    std::filesystem::remove(PathOf(output), ec);
    return std::nullopt;
}

std::optional<std::string> FindFormStatement(const std::string& reportFolder, int year,
                                             int quarter) {
    const std::string prefix = Format("vykaz_%d_%d_", year, quarter);
    std::optional<std::string> newest;
    std::filesystem::file_time_type newestTime;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(reportFolder), ec)) {
        const std::string name = PathText(entry.path().filename());
        if (name.rfind(prefix, 0) != 0 || !name.ends_with(".xlsx") ||
            name.ends_with("_rozpis.xlsx"))
            continue;
        const auto time = entry.last_write_time(ec);
        if (!newest || time > newestTime) {
            newest = PathText(entry.path());
            newestTime = time;
        }
    }
    return newest;
}

std::optional<std::string> BuildFormBreakdown(CDataStore& store, const std::string& statementPath,
                                              int year, int quarter) {
    const std::optional<BreakdownInForm> found = BreakdownIn(store, statementPath, year, quarter);
    if (!found)
        return std::nullopt;
    const std::string path = BreakdownPath(statementPath);
    try {
        WriteFormBreakdownWorkbook(found->breakdown, found->cells, path);
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return std::nullopt;
    }
    return path;
}

std::optional<std::vector<std::string>> ExplainFormReportCell(CDataStore& store,
                                                              const std::string& formPath, int year,
                                                              int quarter, std::string_view sheet,
                                                              std::string_view address) {
    const std::optional<BreakdownInForm> found = BreakdownIn(store, formPath, year, quarter);
    if (!found)
        return std::nullopt;
    return ExplainFormCell(found->breakdown, found->cells, sheet, address);
}

} // namespace tarvo
