#pragma once

#include "core/data/idlist.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"

#include <memory>
#include <optional>
#include <string>

namespace tarvo {

class CDataStore;

// The lists of the pages that pick a record in a wizard. Each list holds every
// record there is to pick, sorted by name in the Czech order (equal names in
// the order they were made); a database error is shown and false returned,
// ids then holding the rows read before it.

// Simple covers that are not deleted: "Název", "Typ", "Původ", "Platba",
// "Materiál", "Hmotnost [kg]" (two decimals), "Opakované použití" ("ano"/"ne").
std::unique_ptr<IRowSource> MakeCoverPickerRows(CDataStore& store);
bool LoadCoverPickerIds(CDataStore& store, IdList& ids);

// Composite covers: "Název", "Poznámka".
std::unique_ptr<IRowSource> MakeCompCoverPickerRows(CDataStore& store);
bool LoadCompCoverPickerIds(CDataStore& store, IdList& ids);

// Products that are not deleted: "Název", "Kat. č.", "Jednotka".
std::unique_ptr<IRowSource> MakeProductPickerRows(CDataStore& store);
bool LoadProductPickerIds(CDataStore& store, IdList& ids);

// What a line page takes over from the cover chosen for it: the codes the
// line starts with, the weight of one piece that turns a quantity into
// kilograms (0 when the cover has none), and what the line shows of it.
struct CoverFacts {
    std::string name;
    Quantity unitWeight = Quantity::FromUnits(0);
    int type = -1;
    int origin = -1;
    int payment = -1;
    int material = -1;
    int stat = -1;
    bool reusable = false;
};

// The facts of a cover, deleted or not; nothing when there is no such cover
// or on a database error, which is shown through the store's message port.
std::optional<CoverFacts> ReadCoverFacts(CDataStore& store, RecordId cover);

// What a quantity page says of the product it counts: "Produkt: Jogurt
// (jednotka: ks)"; nothing when there is no such product or on a database
// error, which is shown through the store's message port.
std::optional<std::string> ProductCaption(CDataStore& store, RecordId product);
// The same of a cover: "Obal: Krabice (0,125 kg/ks)".
std::string CoverCaption(const CoverFacts& cover);

} // namespace tarvo
