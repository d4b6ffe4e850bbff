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
inline constexpr int GettingStarted = 101; // the first-start guide's "Začínáme"

} // namespace tarvo::help
