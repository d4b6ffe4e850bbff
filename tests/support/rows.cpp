#include "rows.h"

#include <stdexcept>
#include <string>

namespace tarvo::test {

Quantity Q(const char* text) {
    const std::optional<Quantity> quantity = ParseQuantity(text);
    if (!quantity)
        throw std::invalid_argument(std::string("not a quantity: ") + text);
    return *quantity;
}

namespace rows {

RecordId Cover(CDataStore& store, const CoverRecord& cover, bool deleted) {
    return CoverWriter(store).Insert(cover, deleted);
}

RecordId Discard(CDataStore& store, const DiscardRecord& discard) {
    return DiscardWriter(store).Insert(discard);
}

RecordId CompCover(CDataStore& store, const CompCoverRecord& compCover,
                   const std::vector<CoverLine>& items) {
    const RecordId id = CompCoverWriter(store).Insert(compCover);
    CoverLineWriter writer(store, CoverLineTable::CompCoverItems);
    for (const CoverLine& item : items)
        writer.Insert(id, item);
    return id;
}

RecordId CompCoverItem(CDataStore& store, RecordId compCover, const CoverLine& item) {
    return CoverLineWriter(store, CoverLineTable::CompCoverItems).Insert(compCover, item);
}

RecordId Product(CDataStore& store, const ProductRecord& product) {
    return ProductWriter(store).Insert(product);
}

RecordId Definition(CDataStore& store, RecordId product, OleDate from,
                    const std::vector<CoverLine>& lines) {
    const RecordId id = DefinitionWriter(store).Insert({product, from});
    CoverLineWriter writer(store, CoverLineTable::Packaging);
    for (const CoverLine& line : lines)
        writer.Insert(id, line);
    return id;
}

RecordId PackagingLine(CDataStore& store, RecordId definition, const CoverLine& line) {
    return CoverLineWriter(store, CoverLineTable::Packaging).Insert(definition, line);
}

RecordId Move(CDataStore& store, const MoveRecord& move) {
    return MoveWriter(store).Insert(move);
}

RecordId MoveLine(CDataStore& store, RecordId move, RecordId product, Quantity quantity) {
    return MoveLineWriter(store).Insert({move, product, quantity});
}

RecordId MoveCover(CDataStore& store, const MoveCoverRecord& cover) {
    return MoveCoverWriter(store).Insert(cover);
}

} // namespace rows
} // namespace tarvo::test
