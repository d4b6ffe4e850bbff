#pragma once

#include <cstddef>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvo {

// A Money S3 data exchange file ("XML přenos dat", a MoneyData document).
// Money writes its exports in Windows-1250: the declared encoding is decoded
// to UTF-8 as the file is read, since the parser knows only the Unicode
// encodings. The file is a list of lists (SeznamKmKarta, SeznamVydejka, ...)
// of items (cards, documents). It is read once, a block at a time: each item
// is parsed on its own as soon as it ends, checked and, when its list is
// wanted, visited, and then dropped with its text, so that neither the text
// of a whole export nor a tree of it is held (tens of megabytes, several
// times that as a tree). Each node knows the line it starts on, for the
// messages about it.
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
    // The line of an offset in the text that was parsed last.
    long LineAt(std::ptrdiff_t offset) const;

private:
    // Goes through the text as it is read, more() appending the next block
    // to m_window (false at the end of the file), and parses and visits each
    // item as it ends; items counts them. False when the file is to be
    // parsed whole: a shape this scan does not follow, or an item or the
    // rest of the file that does not parse.
    bool Stream(const std::function<bool()>& more, const ListFilter& wanted,
                const ItemVisitor& visit, size_t& items);
    // Parses the whole text (m_text) as one tree: for the message about a
    // malformed file (with the element and the line), and for a file whose
    // items could not be told apart as it was read. Visits the items after
    // the first skip ones.
    void ParseWhole(const ListFilter& wanted, const ItemVisitor& visit, size_t skip);
    // Counts the lines of the window's text up to the offset in the file's
    // text.
    void CountLines(size_t upTo);
    // Parses the text as the piece whose nodes are visited, starting on
    // line.
    pugi::xml_parse_result ParsePiece(std::string_view text, long line);

    std::string m_path;
    // The text read and still needed, from m_windowStart of the file's text
    // on; only a few blocks of it are held at a time.
    std::string m_window;
    size_t m_windowStart = 0;
    // The lines ended before m_counted in the file's text.
    size_t m_counted = 0;
    long m_linesBefore = 0;
    // The whole text, read again when the file is parsed whole.
    std::string m_text;
    // The item being visited (or the whole file), its text and the line it
    // starts on.
    pugi::xml_document m_piece;
    std::string_view m_pieceText;
    long m_pieceLine = 1;
};

// The encoding named by the XML declaration at the start of text ("" when
// there is none).
std::string DeclaredXmlEncoding(std::string_view text);

// The trimmed text of the element at path ("A/B/C") under node; "" when any
// element of the path is missing.
std::string XmlText(pugi::xml_node node, const char* path);

} // namespace tarvo
