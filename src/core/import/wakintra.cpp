#include "core/import/wakintra.h"

#include "core/data/quantity.h"
#include "core/data/shared.h"

namespace tarvo {

namespace {

// WAK INTRA keeps its texts in fixed-width columns; the blanks that pad them
// are not part of the value.
std::string TrimmedText(const WakRecordset& rs, std::string_view field) {
    return Trim(rs.Field(field).ToString());
}

// "TypStatu" as the working database turns a value into a flag: a number is
// true when it is not 0, a text when it says a non-zero number or yes.
bool ExportFlag(const Value& value) {
    if (value.GetKind() != Value::Kind::Text)
        return value.ToBool();
    const std::string text = ToUpperText(Trim(value.ToString()));
    if (const std::optional<Quantity> number = ParseQuantity(text))
        return number->Scaled() != 0;
    return text == "TRUE" || text == "YES" || text == "ON" || text == "ANO";
}

void ImportProducts(WakRecordset& rs, ImportWriter& writer, ExistingRecords& existing,
                    ImportProgress& progress) {
    progress.BeginPhase("Importuji produkty", rs.RecordCount());
    long row = 0;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        progress.Row(++row);
        ImportedProduct product;
        product.scrid = rs.Field("nPol").ToLong();
        product.name = rs.Field("NazPol").ToString();
        product.katalog = rs.Field("IdePol").ToString();
        product.unit = rs.Field("IdeMJ").ToString();
        writer.ImportProduct(product, existing, [&] {
            return Format("Produkt \"%s, kat.č. %s\" byl již z WAK importován. Přejete si jej "
                          "aktualizovat?",
                          product.name.c_str(), product.katalog.c_str());
        });
    }
}

void ImportDocuments(WakRecordset& rs, ImportWriter& writer, ExistingRecords& existing,
                     ImportProgress& progress) {
    progress.BeginPhase("Importuji skladové pohyby", rs.RecordCount());
    long row = 0;
    Value documentKey;
    bool open = false;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        const Value& key = rs.Field("nDoklSkl");
        const bool newDocument = row == 0 || !(key == documentKey);
        // The document before is complete once the next one begins: stored
        // before the cancel check, so a cancel here keeps it.
        if (newDocument)
            writer.FinishDocument();
        progress.Row(++row);
        if (newDocument) {
            documentKey = key;
            open = false;
            if (ToUpperText(TrimmedText(rs, "IdeTypuDoklSkl")) == "PRO") {
                ImportedDocument document;
                document.number = rs.Field("IdeDoklSkl").ToString();
                document.date = rs.Field("DatDoklSkl").ToDate();
                document.type = 2; // "prodejka"
                document.exportFlag = ExportFlag(rs.Field("TypStatu"));
                open = writer.BeginDocument(document, existing, [](const std::string& number) {
                    return Format(
                        "Doklad \"%s\" byl již z WAK importován. Přejete si jej aktualizovat?",
                        number.c_str());
                });
            }
        }
        if (!open)
            continue;
        const int64_t scrid = rs.Field("nPol").ToLong();
        writer.AddLine(scrid, rs.Field("MnoPol").ToQuantity(), [scrid] {
            return ImportedProduct{scrid, "???", "", ""};
        });
    }
    writer.FinishDocument();
}

} // namespace

std::string WakProcedureCall(const OleDate& from, const OleDate& to) {
    return Format("DoklSkl_Pre('%04i%02i%02i', '%04i%02i%02i')", from.Year(), from.Month(),
                  from.Day(), to.Year(), to.Month(), to.Day());
}

bool ImportWakIntra(CDataStore& store, IMessagePort& messages, IProgressPort& progress,
                    const WakConnectionSettings& connection, const WakImportParams& params,
                    ImportCounters& counters) {
    if (!params.choices.products && !params.choices.documents)
        return false;
    WakConnection wak(messages);
    if (!wak.Connect(connection.server, connection.odbc))
        return false;
    ImportProgress rows(progress);
    ExistingRecords existing(messages, params.choices.existing);
    ImportWriter writer(store, ImportSource::WakIntra, counters);
    WakRecordset rs;
    if (params.choices.products) {
        if (!wak.OpenRecordset(rs, "SELECT * FROM pol_mj", WakCommand::Text,
                               {"nPol", "NazPol", "IdePol", "IdeMJ"}))
            return false;
        ImportProducts(rs, writer, existing, rows);
    }
    if (params.choices.documents) {
        existing.ResetMode();
        // A failed procedure ends only this phase: the products written are
        // still reported.
        if (wak.OpenRecordset(rs, WakProcedureCall(params.from, params.to),
                              WakCommand::StoredProcedure,
                              {"nDoklSkl", "IdeTypuDoklSkl", "IdeDoklSkl", "DatDoklSkl", "TypStatu",
                               "nPol", "MnoPol"}))
            ImportDocuments(rs, writer, existing, rows);
    }
    writer.Flush();
    return true;
}

} // namespace tarvo
