#include "core/data/schema.h"

#include "core/data/shared.h"

namespace tarvo {

namespace {

using K = ColumnKind;

// Packaging-line columns shared by Prod_Cover, CompCover_Item and TmpCover_Item.
#define TARVO_LINE_COLUMNS                                                                         \
    {"cover_id", K::Reference}, {"cp_qtycover", K::Quantity}, {"cp_qtyprod", K::Quantity},         \
        {"cp_usealways", K::Flag}, {"cp_usefrom", K::Quantity}, {"cp_useto", K::Quantity},         \
        {"cover_type", K::Code}, {"cover_org", K::Code}, {                                         \
        "cover_pay", K::Code                                                                       \
    }

constexpr ColumnInfo CoverColumns[] = {
    {"cover_id", K::Identifier}, {"cover_name", K::Text}, {"cover_weight", K::Quantity},
    {"cover_mat", K::Code},      {"cover_type", K::Code}, {"cover_org", K::Code},
    {"cover_pay", K::Code},      {"cover_stat", K::Code}, {"cover_reusable", K::Flag},
    {"cover_note", K::Text},     {"deleted", K::Flag},
};
constexpr ColumnInfo CompCoverColumns[] = {
    {"ccover_id", K::Identifier}, {"ccover_name", K::Text}, {"ccover_note", K::Text}};
constexpr ColumnInfo CompCoverItemColumns[] = {{"ccover_id", K::Reference}, TARVO_LINE_COLUMNS};
constexpr ColumnInfo ProductColumns[] = {
    {"prod_id", K::Identifier}, {"prod_name", K::Text},      {"prod_katalog", K::Text},
    {"prod_unit", K::Text},     {"prod_source", K::Integer}, {"prod_scrid", K::Integer},
    {"deleted", K::Flag},
};
constexpr ColumnInfo ProdCoverDTColumns[] = {
    {"dt_id", K::Identifier}, {"prod_id", K::Reference}, {"dt_from", K::Date}};
constexpr ColumnInfo ProdCoverColumns[] = {
    {"cp_id", K::Identifier}, {"dt_id", K::Reference}, TARVO_LINE_COLUMNS};
constexpr ColumnInfo MoveColumns[] = {
    {"move_id", K::Identifier}, {"move_num", K::Text},    {"move_date", K::Date},
    {"move_type", K::Code},     {"move_export", K::Flag}, {"move_source", K::Integer},
};
constexpr ColumnInfo MoveProdColumns[] = {{"mvprod_id", K::Identifier},
                                          {"move_id", K::Reference},
                                          {"prod_id", K::Reference},
                                          {"mvprod_qty", K::Quantity}};
constexpr ColumnInfo MoveCoverColumns[] = {
    {"mvcover_id", K::Identifier}, {"move_id", K::Reference},    {"mvprod_id", K::Reference},
    {"cover_id", K::Reference},    {"mvcover_qty", K::Quantity}, {"cover_type", K::Code},
    {"cover_org", K::Code},        {"cover_pay", K::Code},
};
constexpr ColumnInfo CoverDiscardColumns[] = {
    {"disc_id", K::Identifier}, {"cover_id", K::Reference}, {"disc_date", K::Date},
    {"disc_type", K::Code},     {"disc_qty", K::Quantity},
};
constexpr ColumnInfo TmpCoverItemColumns[] = {{"ti_id", K::Identifier}, TARVO_LINE_COLUMNS};
constexpr ColumnInfo TmpIDColumns[] = {{"id", K::Integer}};
constexpr ColumnInfo CoverClassColumns[] = {
    {"cover_id", K::Reference},   {"cls_beverage", K::Flag},     {"cls_mat", K::Code},
    {"cls_shape", K::Code},       {"cls_recycled", K::Quantity}, {"cls_litter", K::Code},
    {"cls_plastic", K::Quantity},
};
constexpr ColumnInfo CoverPartColumns[] = {
    {"cover_id", K::Reference}, {"part_comp", K::Code}, {"part_share", K::Quantity}};
constexpr ColumnInfo DiscardDestColumns[] = {{"disc_id", K::Reference}, {"dest_code", K::Code}};

#undef TARVO_LINE_COLUMNS

constexpr TableInfo AllTables[] = {
    {"Cover", "cover_id", CoverColumns},
    {"CompCover", "ccover_id", CompCoverColumns},
    {"CompCover_Item", "", CompCoverItemColumns},
    {"Product", "prod_id", ProductColumns},
    {"Prod_CoverDT", "dt_id", ProdCoverDTColumns},
    {"Prod_Cover", "cp_id", ProdCoverColumns},
    {"Move", "move_id", MoveColumns},
    {"Move_Prod", "mvprod_id", MoveProdColumns},
    {"Move_Cover", "mvcover_id", MoveCoverColumns},
    {"CoverDiscard", "disc_id", CoverDiscardColumns},
    {"TmpCover_Item", "ti_id", TmpCoverItemColumns},
    {"TmpID", "", TmpIDColumns},
    {"Cover_Class", "", CoverClassColumns},
    {"Cover_Part", "", CoverPartColumns},
    {"Discard_Dest", "", DiscardDestColumns},
};
constexpr size_t OriginalTableCount = 12;

} // namespace

std::span<const TableInfo> Tables() {
    return AllTables;
}

std::span<const TableInfo> OriginalTables() {
    return Tables().first(OriginalTableCount);
}

std::span<const TableInfo> ClassificationTables() {
    return Tables().subspan(OriginalTableCount);
}

const TableInfo* FindTable(std::string_view name) {
    for (const TableInfo& table : AllTables) {
        if (EqualsNoCase(table.name, name))
            return &table;
    }
    return nullptr;
}

std::optional<ColumnKind> KindOfColumn(std::string_view column) {
    for (const TableInfo& table : AllTables) {
        for (const ColumnInfo& c : table.columns) {
            if (EqualsNoCase(c.name, column)) {
                return c.kind;
            }
        }
    }
    return std::nullopt;
}

} // namespace tarvo
