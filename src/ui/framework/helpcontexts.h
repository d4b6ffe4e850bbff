#pragma once

namespace tarvo::help {

// The context numbers that the dialogs' "Nápověda" buttons hand to
// GuiContext::showHelp; the help maps each to its page.
inline constexpr int Contents = 0;         // F1: the contents
inline constexpr int Cover = 3;            // "Detail obalu"
inline constexpr int Product = 5;          // "Detail produktu"
inline constexpr int Dispatch = 6;         // "Výdej produktů a obalů"
inline constexpr int CompCover = 13;       // "Detail složeného obalu"
inline constexpr int RegisterImport = 20;  // "Import evidencí"
inline constexpr int CoverFilter = 21;     // "Filtr obalů"
inline constexpr int ProductFilter = 22;   // "Filtr produktů"
inline constexpr int CompCoverFilter = 23; // "Filtr složených obalů"
inline constexpr int DispatchFilter = 24;  // "Filtr výdejů"
inline constexpr int Options = 25;         // "Možnosti"
inline constexpr int Packaging = 26;       // the validity date, bulk assignment
inline constexpr int Discard = 27;         // "Vyřazení obalu"
inline constexpr int Report = 28;          // "Čtvrtletní výkaz"
inline constexpr int Backup = 29;          // "Záloha dat"
inline constexpr int CoverPicker = 30;     // the cover picker and packaging lines
inline constexpr int DispatchItems = 31;   // the product picker and dispatch lines
inline constexpr int MoneyImport = 32;     // the Money S3 wizard
inline constexpr int WakImport = 33;       // the WAK INTRA wizard
inline constexpr int Classification = 34;  // the composition grid
inline constexpr int Find = 35;            // "Najít a nahradit"
inline constexpr int GettingStarted = 101; // the first-start guide's "Začínáme"

} // namespace tarvo::help
