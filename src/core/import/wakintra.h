#pragma once

#include "core/import/importframework.h"
#include "core/import/waksettings.h"

namespace tarvo {

class CDataStore;
class IMessagePort;
class IProgressPort;

// The caption of the progress window of the import.
inline constexpr char WakProgressCaption[] = "Import dat z WAK INTRA";

// Imports the products of "pol_mj" and the sales documents ("PRO") that
// "DoklSkl_Pre" returns for the date range, with the connection and the
// parameters of the two wizard pages (validated). The importer of the import
// driver (RunImport): false when nothing could be written (nothing selected,
// no connection, the products not readable; the reason has been shown), true
// otherwise, also when the documents could not be read after the products.
// Throws ComError on a database error and ImportCancelled on a cancel.
bool ImportWakIntra(CDataStore& store, IMessagePort& messages, IProgressPort& progress,
                    const WakConnectionSettings& connection, const WakImportParams& params,
                    ImportCounters& counters);

// The text of the document-range argument: 'yyyymmdd'.
std::string WakProcedureCall(const OleDate& from, const OleDate& to);

} // namespace tarvo
