#pragma once

#include "core/import/importframework.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class Profile;
class IMessagePort;
class IProgressPort;

// What the wizard collects for a Money S3 import.
struct MoneyImportParams {
    std::string agendaFolder; // stock cards
    std::string yearFolder;   // documents
    ImportChoices choices;
    bool setExport = true;
    // Countries of a domestic document, ';' between them; a lone ';' is the
    // empty country.
    std::string nonExportCountries = ";Česká republika ;ČR";
};

// The "Import" section of tarvo.ini: "Produkty", "Vydaje", "Nastavovat Export",
// "Neexportni zeme" (at most 1000 characters), "Existujici zaznamy". The
// folders are not kept.
MoneyImportParams ReadMoneyImportSettings(const Profile& profile);
bool WriteMoneyImportSettings(Profile& profile, const MoneyImportParams& params);

// The value written for "Nemohu najít" names: no agenda or year here.
inline constexpr const char* NoMoneyName = "<není>";

// The agenda name of an agenda folder (Agenda.ini, else Agenda.dat), or
// "<není>". With reportErrors a missing name shows
// "Adresář \"%s\" neobsahuje informace o agendě Money!".
std::string MoneyAgendaName(const std::string& agendaFolder, IMessagePort& messages,
                            bool reportErrors);
// The same for a year folder (Rok.ini, else Rok.dat):
// "Adresář \"%s\" neobsahuje informace o účetním roce Money!".
std::string MoneyYearName(const std::string& yearFolder, IMessagePort& messages, bool reportErrors);

// One agenda and year of the Money installation; folders end with '/'.
struct MoneyYearRow {
    std::string agendaName;
    std::string yearName;
    std::string agendaFolder;
    std::string yearFolder;
};

struct MoneyInstallation {
    bool found = false; // a Setup.ini was found
    std::string programFolder;
    std::string dataRoot;
    std::vector<MoneyYearRow> rows; // by agenda name, then year name, without regard to case
};

// Where the drive letters of Windows paths are: $WINEPREFIX/dosdevices, or
// ~/.wine/dosdevices; empty on Windows, whose drives are its own.
std::string DefaultDosDevices();
// A Windows path ("C:\Program Files\...") as a path of this machine, the drive
// letter taken from dosDevices and every part matched without regard to case.
// Other paths, and every path without dosDevices, only get '/' for '\'.
std::string LocalMoneyPath(const std::string& windowsPath, const std::string& dosDevices);

// Finds the Money S3 installation: Setup.ini on the first drive letter from C
// to Z, its program folder, MonS3.ini and the data root, then every agenda
// with a name and every year in it with a name.
MoneyInstallation FindMoneyInstallation(const std::string& dosDevices, IMessagePort& messages);

// A folder chosen by hand as a year folder (its parent is the agenda folder):
// the row when both names exist; otherwise the missing one is reported.
std::optional<MoneyYearRow> MoneyRowForYearFolder(const std::string& yearFolder,
                                                  IMessagePort& messages);

// The Money S3 importer: products from the agenda's stock cards, then the
// year's outgoing stock documents and issued invoices with their lines, the
// covers of every line derived. See Importer for the result and exceptions.
bool ImportMoneyS3(CDataStore& store, IMessagePort& messages, IProgressPort& progress,
                   const MoneyImportParams& params, ImportCounters& counters);

} // namespace tarvo
