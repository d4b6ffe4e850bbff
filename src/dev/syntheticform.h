#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tarvo {

// A workbook with the structure of the EKO-KOM statement 2.74 as EKO-KOM
// sends it to a client, made by code so that no binary form is kept in the
// repository. Tests change it before writing it.
//
// What it holds:
// - Sheets in order SUM (hidden), KONTROLY (hidden), TEST, Úvod, J1-1A, J1-1B,
//   J1-1K, J1-2A, J1-2B, J1-2K, J1-3, J1-3K, J2, J3, J4, L, O1-1A, O1-1B,
//   O1-1K, O1-2A, O1-2B, O1-2K, O1-3, O1-3K, O2, O3, O4, S1, S2. Every sheet
//   is protected; only the input cells are unlocked (number format 0.000,
//   data validation "decimal > 0"), everything else is locked, the right
//   halves of merged input pairs included.
// - Úvod: A1 "2.74" (text), D4 the quarter (a number), E4 ". čtvrtletí roku
//   <year>", labels in A/B/D, E14 "EK-"; input cells D5, D6 (D6:F6), D8
//   (D8:F8), E10, C12, F12, B14, F14, D18, C19, C20, C21, all empty until
//   PrefillTitle; D23 the fee estimate (=SUM!B2).
// - J1-1A, J1-2A: header E4 (E4:P4), E5/I5/M5 blocks, row 6 primární/
//   recyklát, row 7 CZ/imported (merged down to row 9); upper rows 10–36
//   (row 35 inputs I–P only), lower table rows 41–52 with merged input pairs
//   E:F, G:H, I:J, K:L. O1-1A, O1-2A: row 35 Kompozitní materiál (E–P),
//   lower rows 40–51.
// - J1-1B, J1-2B, O1-1B, O1-2B: E4, E5 Skupinové (E–L), M5 Přepravní (M–T),
//   rows 6–8 labels (row 8 merged down to row 10), upper rows 11–35 (E–T),
//   lower rows 42–50 (pairs E, G, I, K, M, O, Q, S).
// - J1-3, O1-3: as B sheets with E4 "PRŮMYSLOVÉ (2)", E5 "Neobsahují nápoje
//   (3)", M5 "Obsahují nápoje"; lower rows 42–53 with glass in 42–44.
// - J1-1K, J1-2K, O1-1K, O1-2K: rows 10–21, inputs E–J. J1-3K, O1-3K: rows
//   11–22, inputs E–H.
// - J2, J3, J4, O2, O3, O4: rows 9–21, inputs E–L (glass row 17: E, F, K, L).
// - L: rows 6–13; inputs E9, E11, F6:F13, G12:G13, H6:J13.
// - S1: rows 9–21, kind in column B; inputs D–G, I–L, N–Q, and H, M, R on
//   the wood row 19. S2: a title only.
// - A lower table repeats its headers in the rows above it: "primární (4)"
//   and "recyklát (5)" over four columns each two rows up, the CZ/imported
//   pair over each input pair one row up, and on B sheets and J1-3/O1-3 the
//   block names (E, M) three rows up.
// - Material labels in A (group, on the first row it covers), B (kind) and C
//   (colour class), with the footnote markers, trailing spaces and line
//   breaks of the form; row 1 of each data sheet holds tags in A1:C1
//   ("zpoplatněné", "neobsahují nápoje"/"obsahují nápoje", the kind of
//   packaging), and a hidden check formula two columns right of the table
//   (J1-1A!R1), in a hidden column.
// - A defined name <SHEET>_HODNOTY (the sheet name without hyphens: J11A,
//   J13K, O12B, J4, L, S1) per data sheet and UVOD_HODNOTY, listing exactly
//   the input cells.
// - KONTROLY: one row per composite reconciliation (A: the error text, B: 1
//   when the composite rows of J1-xA/J1-xB or J1-3 and O1-… differ from
//   their K sheet by more than half a kilogram, separately for the CZ and
//   the imported column of each K column pair). TEST!A2 gives "VÝKAZ JE BEZ
//   CHYB" or "VÝKAZ OBSAHUJE NÁSLEDUJÍCÍ CHYBY:", TEST!A3 onwards the texts
//   of the failed checks. Formulas carry the results of the empty form; the
//   workbook asks for no recalculation on load.
//
// Formulas that refer to a sheet removed by RemoveSheet stay as they are.
class SyntheticForm {
public:
    // Úvod!D4 = quarter, E4 ". čtvrtletí roku <year>".
    SyntheticForm(int year, int quarter);
    ~SyntheticForm();
    SyntheticForm(SyntheticForm&&) noexcept;
    SyntheticForm& operator=(SyntheticForm&&) noexcept;

    // Changes of one cell; an unknown sheet or address throws ComError.
    void SetText(const std::string& sheet, const std::string& cell, const std::string& text);
    void SetNumber(const std::string& sheet, const std::string& cell, double value);
    // Empties the cell, keeping its style.
    void Clear(const std::string& sheet, const std::string& cell);
    void SetLocked(const std::string& sheet, const std::string& cell, bool locked);
    // Replaces the areas of the sheet's _HODNOTY name ("E11:P34"), as a form
    // whose input cells moved would have them.
    void SetInputAreas(const std::string& sheet, std::vector<std::string> areas);
    // Leaves the sheet and its _HODNOTY name out of the workbook.
    void RemoveSheet(const std::string& sheet);
    void HideSheet(const std::string& sheet);
    // The title fields EKO-KOM fills for its client: D6, D8, E10, C12, F12,
    // F14, D18, C19 and C21 (C20 and B14 stay empty).
    void PrefillTitle();

    // Writes the xlsx file, replacing one of that name; throws ComError.
    void Write(const std::string& path) const;

    // One sheet as laid out before writing (syntheticformsheet.h).
    struct Sheet;

private:
    Sheet& Find(const std::string& name);

    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

} // namespace tarvo
