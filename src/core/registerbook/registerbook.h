#pragma once

#include "core/data/codelists.h"

#include <cstdint>
#include <string_view>

namespace tarvo::book {

// The workbook layout that the export writes and the import reads: one sheet
// per register, the header in row 1, a column found by its title.

inline constexpr std::string_view CoverSheet = "Obaly";
// The components of composite materials, by cover: one row per component.
inline constexpr std::string_view CompositionSheet = "Složení obalů";
inline constexpr std::string_view CompCoverSheet = "Složené obaly";
inline constexpr std::string_view ProductSheet = "Produkty";
inline constexpr std::string_view PackagingSheet = "Balení";
// The hidden sheet with the code labels that the validations of the other
// sheets offer.
inline constexpr std::string_view ListSheet = "Seznamy";

// Column titles. Several sheets share a title where the column means the same.
inline constexpr std::string_view Name = "Název";
inline constexpr std::string_view Weight = "Hmotnost [kg]";
inline constexpr std::string_view Material = "Materiál";
inline constexpr std::string_view Type = "Typ";
inline constexpr std::string_view Origin = "Původ";
inline constexpr std::string_view Payment = "Platba";
inline constexpr std::string_view Stat = "Statistické údaje";
inline constexpr std::string_view Reusable = "Opakovaně používaný";
inline constexpr std::string_view Note = "Poznámka";
inline constexpr std::string_view Deleted = "Odstraněný";
inline constexpr std::string_view CompCover = "Složený obal";
inline constexpr std::string_view Cover = "Obal";
inline constexpr std::string_view QtyCover = "Množství obalu";
inline constexpr std::string_view QtyProd = "Počet produktů";
inline constexpr std::string_view UseAlways = "Použít vždy";
inline constexpr std::string_view UseFrom = "Použít od";
inline constexpr std::string_view UseTo = "Použít do";
inline constexpr std::string_view Source = "Zdroj";
inline constexpr std::string_view SourceId = "ID ve zdroji";
inline constexpr std::string_view Katalog = "Katalog";
inline constexpr std::string_view Unit = "Jednotka";
inline constexpr std::string_view Product = "Produkt";
inline constexpr std::string_view ValidFrom = "Platí od";
// The classification for the statement in force since 2021.
inline constexpr std::string_view Beverage = "Nápojový";
inline constexpr std::string_view Material2021 = "Materiál 2021";
inline constexpr std::string_view Shape = "Tvar";
inline constexpr std::string_view Recycled = "Recyklát [%]";
inline constexpr std::string_view Littering = "Littering";
inline constexpr std::string_view Plastic = "Podíl plastu [%]";
inline constexpr std::string_view Component = "Složka";
inline constexpr std::string_view Share = "Podíl [%]";

inline constexpr std::string_view Yes = "ano";
inline constexpr std::string_view No = "ne";

// prod_source as the sheets name it: a product made by hand has no source.
extern const CodeList Sources;
extern const CodeList YesNo;

} // namespace tarvo::book
