#pragma once

#include <cstddef>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarvo {

// A Money S3 data exchange file ("XML přenos dat", a MoneyData document).
// Money writes its exports in Windows-1250: the declared encoding is decoded
// to UTF-8 as the file is read, since the parser knows only the Unicode
// encodings. The file is a list of lists (SeznamKmKarta, SeznamVydejka, ...)
// of items (cards, documents). It is read once: each item is parsed on its
// own, checked and, when its list is wanted, visited, and then dropped, so
// that no tree of the whole file is ever built (an export of tens of
// megabytes would take several times its size as one). Each node knows the
// line it starts on, for the messages about it.
class MoneyXmlFile {
public:
    MoneyXmlFile() = default;
    MoneyXmlFile(const MoneyXmlFile&) = delete;
    MoneyXmlFile& operator=(const MoneyXmlFile&) = delete;

    // An element under MoneyData; first: the first list of that name.
    struct List {
        std::string name;
        bool first = false;
    };
    using ListFilter = std::function<bool(const List&)>;
    using ItemVisitor = std::function<void(const List&, pugi::xml_node item)>;

    // Reads the file and checks all of it, visiting every element of the
    // lists that wanted accepts in the order of the file. The item and its
    // nodes are valid during the visit only: the visitor keeps what it needs.
    // A file that cannot be read gives its error code; one in an unknown
    // encoding, malformed, or without the MoneyData root throws ImportError
    // with a message naming the file and the line, possibly after some items
    // were visited: what the visitor gathered is of use only when Read
    // returns.
    std::error_code Read(const std::string& path, const ListFilter& wanted,
                         const ItemVisitor& visit);

    const std::string& Path() const { return m_path; }
    // The line (from 1) on which a node of the item being visited starts.
    long LineOf(pugi::xml_node node) const;
    long LineAt(std::ptrdiff_t offset) const;

private:
    // Where an item stands in the text, and its list.
    struct Item {
        size_t begin;
        size_t end;
        size_t list;
    };
    bool FindItems();
    // False when the file without its items does not parse: the whole file
    // is parsed then, for the message.
    bool CheckSkeleton();
    bool ParseItem(const Item& item);
    // Parses the whole text as one tree: for the message about a malformed
    // file (with the element and the line), and for a file whose items could
    // not be told apart here. Visits the items after the first skip ones.
    void ParseWhole(const ListFilter& wanted, const ItemVisitor& visit, size_t skip);

    std::string m_path;
    // The UTF-8 text.
    std::string m_text;
    // Where each line after the first starts.
    std::vector<size_t> m_lineStarts;
    std::vector<List> m_lists;
    std::vector<Item> m_items;
    // The item being visited (or the whole file) and where it starts.
    pugi::xml_document m_piece;
    size_t m_pieceStart = 0;
};

// The encoding named by the XML declaration at the start of text ("" when
// there is none).
std::string DeclaredXmlEncoding(std::string_view text);

// The trimmed text of the element at path ("A/B/C") under node; "" when any
// element of the path is missing.
std::string XmlText(pugi::xml_node node, const char* path);

} // namespace tarvo
