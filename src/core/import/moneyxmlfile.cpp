#include "core/import/moneyxmlfile.h"

#include "core/data/shared.h"
#include "core/import/importframework.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <unicode/ucnv.h>
#include <unordered_set>

namespace tarvo {

namespace {

// pugixml's account of a malformed document, in the program's language.
const char* ParseProblem(pugi::xml_parse_status status) {
    switch (status) {
    case pugi::status_unrecognized_tag:
        return "nerozpoznaná značka";
    case pugi::status_bad_pi:
    case pugi::status_bad_comment:
    case pugi::status_bad_cdata:
    case pugi::status_bad_doctype:
        return "chybná deklarace, komentář nebo sekce CDATA";
    case pugi::status_bad_pcdata:
        return "chybný text elementu";
    case pugi::status_bad_start_element:
        return "chybná počáteční značka elementu";
    case pugi::status_bad_attribute:
        return "chybný atribut elementu";
    case pugi::status_bad_end_element:
        return "chybná koncová značka elementu";
    case pugi::status_end_element_mismatch:
        return "koncová značka neodpovídá počáteční, nebo element není uzavřen";
    case pugi::status_no_document_element:
        return "soubor neobsahuje žádný element";
    default:
        return "chybná syntaxe XML";
    }
}

bool IsUtf8Name(const std::string& encoding) {
    const std::string name = ToUpperText(encoding);
    return name.empty() || name == "UTF-8" || name == "UTF8";
}

// Converts bytes in an encoding to UTF-8 as they come, block by block: the
// bytes of a large export and its text are never held both whole, and every
// byte is converted once. A one-byte encoding (Money's Windows-1250) goes by
// a table of the UTF-8 of each of its 256 bytes, made by the converter at
// the start: a look-up per byte instead of two conversions through UTF-16.
class Utf8Decoder {
public:
    Utf8Decoder(const std::string& path, const std::string& encoding)
        : m_path(path), m_encoding(encoding) {
        UErrorCode status = U_ZERO_ERROR;
        m_from = ucnv_open(encoding.c_str(), &status);
        if (U_FAILURE(status))
            throw ImportError(Format("Soubor \"%s\" je v kódování \"%s\", které Tarvo nezná.",
                                     path.c_str(), encoding.c_str()));
        status = U_ZERO_ERROR;
        m_to = ucnv_open("UTF-8", &status);
        if (U_FAILURE(status))
            Fail();
        if (ucnv_getMaxCharSize(m_from) == 1)
            MakeTable();
    }
    ~Utf8Decoder() {
        ucnv_close(m_from);
        ucnv_close(m_to);
    }
    Utf8Decoder(const Utf8Decoder&) = delete;
    Utf8Decoder& operator=(const Utf8Decoder&) = delete;

    // Appends the text of the next bytes to out; last: no bytes follow.
    void Decode(std::string_view bytes, bool last, std::string& out) {
        if (m_table.empty()) {
            Convert(bytes, last, out);
            return;
        }
        // The text's length is counted first, so that the room made for it
        // is exactly what is written. ASCII, nearly all of an export, stays
        // as it is and is passed over a word at a time.
        size_t length = 0;
        for (size_t at = 0; at < bytes.size(); ++at) {
            const size_t plain = AsciiEnd(bytes, at);
            length += plain - at;
            at = plain;
            if (at < bytes.size())
                length += m_table[static_cast<unsigned char>(bytes[at])].size;
        }
        const size_t used = out.size();
        out.resize(used + length);
        char* to = out.data() + used;
        for (size_t at = 0; at < bytes.size(); ++at) {
            const size_t plain = AsciiEnd(bytes, at);
            std::memcpy(to, bytes.data() + at, plain - at);
            to += plain - at;
            at = plain;
            if (at < bytes.size()) {
                const Utf8Char& text = m_table[static_cast<unsigned char>(bytes[at])];
                std::memcpy(to, text.bytes, text.size);
                to += text.size;
            }
        }
    }

private:
    struct Utf8Char {
        char bytes[4];
        size_t size;
    };

    // Where the first byte of bytes from at on that is not ASCII stands (the
    // end when there is none); at itself for an encoding that does not keep
    // ASCII as it is.
    size_t AsciiEnd(std::string_view bytes, size_t at) const {
        if (!m_keepsAscii)
            return at;
        constexpr uint64_t HighBits = 0x8080808080808080;
        for (uint64_t word = 0; at + sizeof(word) <= bytes.size(); at += sizeof(word)) {
            std::memcpy(&word, bytes.data() + at, sizeof(word));
            if ((word & HighBits) != 0)
                break;
        }
        while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80)
            ++at;
        return at;
    }

    void MakeTable() {
        std::vector<Utf8Char> table(256);
        for (size_t byte = 0; byte < table.size(); ++byte) {
            const char one = static_cast<char>(byte);
            std::string text;
            Convert(std::string_view(&one, 1), true, text);
            m_reset = true;
            // A character outside the Basic Multilingual Plane, if any
            // encoding had one, leaves the bytes to the converter.
            if (text.size() > 3)
                return;
            text.copy(table[byte].bytes, text.size());
            table[byte].size = text.size();
            if (byte < 0x80 && text != std::string_view(&one, 1))
                m_keepsAscii = false;
        }
        m_table = std::move(table);
    }

    void Convert(std::string_view bytes, bool last, std::string& out) {
        const char* source = bytes.data();
        for (;;) {
            const size_t used = out.size();
            out.resize(used + 2 * bytes.size() + 64);
            char* target = out.data() + used;
            UErrorCode status = U_ZERO_ERROR;
            ucnv_convertEx(m_to, m_from, &target, out.data() + out.size(), &source,
                           bytes.data() + bytes.size(), m_pivot, &m_pivotSource, &m_pivotTarget,
                           m_pivot + PivotSize, m_reset, last, &status);
            m_reset = false;
            out.resize(static_cast<size_t>(target - out.data()));
            if (status == U_BUFFER_OVERFLOW_ERROR)
                continue;
            if (U_FAILURE(status))
                Fail();
            return;
        }
    }

    [[noreturn]] void Fail() const {
        throw ImportError(Format("Soubor \"%s\" nelze převést z kódování \"%s\".", m_path.c_str(),
                                 m_encoding.c_str()));
    }

    static constexpr int PivotSize = 4096;
    const std::string& m_path;
    std::string m_encoding;
    UConverter* m_from = nullptr;
    UConverter* m_to = nullptr;
    UChar m_pivot[PivotSize];
    UChar* m_pivotSource = m_pivot;
    UChar* m_pivotTarget = m_pivot;
    bool m_reset = true;
    // The UTF-8 of each byte of a one-byte encoding; empty for another.
    std::vector<Utf8Char> m_table;
    bool m_keepsAscii = true;
};

// The name of the element a parse error at offset stands in: the tag that
// is cut short there, else the innermost element open before it (a wrong end
// tag is reported with the element it should have closed). "" before the
// first element. The text is the file as it was before the parser wrote into
// it.
std::string ElementAt(std::string_view text, size_t offset) {
    offset = std::min(offset, text.size());
    const size_t lastTag = offset > 0 ? text.rfind('<', offset - 1) : std::string_view::npos;
    const auto nameAt = [&](size_t at) {
        const size_t end = text.find_first_of(" \t\r\n/>", at);
        return std::string(text.substr(at, end == std::string_view::npos ? end : end - at));
    };
    if (lastTag != std::string_view::npos && lastTag + 1 < text.size() &&
        text.find('>', lastTag) >= offset &&
        std::string_view("/!?").find(text[lastTag + 1]) == std::string_view::npos)
        return nameAt(lastTag + 1);
    std::vector<std::string> open;
    for (size_t at = text.find('<'); at < offset; at = text.find('<', at + 1)) {
        size_t close = std::string_view::npos;
        if (text.compare(at, 4, "<!--") == 0)
            close = text.find("-->", at);
        else if (text.compare(at, 9, "<![CDATA[") == 0)
            close = text.find("]]>", at);
        else
            close = text.find('>', at);
        // A tag counts when it is complete before the error.
        if (close == std::string_view::npos || close >= offset)
            break;
        const char kind = at + 1 < text.size() ? text[at + 1] : '\0';
        if (kind == '/') {
            if (!open.empty())
                open.pop_back();
        } else if (kind != '!' && kind != '?' && text[close - 1] != '/') {
            open.push_back(nameAt(at + 1));
        }
        at = close;
    }
    return open.empty() ? std::string() : open.back();
}

// The file's bytes as UTF-8 text; a file that cannot be read gives its error
// code.
std::error_code ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::error_code(errno ? errno : ENOENT, std::generic_category());
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::error_code(EIO, std::generic_category());
    if (size > static_cast<std::streamoff>(INT32_MAX))
        throw ImportError(Format("Soubor \"%s\" je příliš velký.", path.c_str()));
    in.seekg(0);

    constexpr size_t BlockSize = 1 << 20;
    std::string block(BlockSize, '\0');
    size_t left = static_cast<size_t>(size);
    // Reads the next block; false when the file ends early.
    const auto next = [&]() -> bool {
        const size_t length = std::min(left, BlockSize);
        if (!in.read(block.data(), static_cast<std::streamsize>(length)))
            return false;
        left -= length;
        block.resize(length);
        return true;
    };
    if (!next())
        return std::error_code(EIO, std::generic_category());

    // A byte order mark says more than any declaration.
    std::string_view head = block;
    std::string encoding;
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    } else if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        encoding = head[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
        head.remove_prefix(2);
    } else {
        encoding = DeclaredXmlEncoding(head);
    }
    text.clear();
    if (IsUtf8Name(encoding)) {
        text.reserve(static_cast<size_t>(size));
        text.append(head);
        while (left > 0) {
            if (!next())
                return std::error_code(EIO, std::generic_category());
            text.append(block);
        }
        return {};
    }
    Utf8Decoder decoder(path, encoding);
    // Czech text in a one-byte encoding grows by a little as UTF-8.
    text.reserve(static_cast<size_t>(size) + static_cast<size_t>(size) / 8);
    decoder.Decode(head, left == 0, text);
    while (left > 0) {
        if (!next())
            return std::error_code(EIO, std::generic_category());
        decoder.Decode(block, left == 0, text);
    }
    return {};
}

void CheckRoot(const MoneyXmlFile& file, pugi::xml_node root) {
    if (std::string_view(root.name()) != "MoneyData")
        throw ImportError(Format("Soubor \"%s\" není export Money S3: jeho kořenový element "
                                 "na řádku %li není MoneyData.",
                                 file.Path().c_str(), file.LineAt(root.offset_debug())));
}

// Leaf text goes into its element instead of a node of its own: half the
// nodes for an export that is nearly all leaves.
constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

} // namespace

std::string DeclaredXmlEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml")
        return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    const size_t key = declaration.find("encoding");
    if (key == std::string_view::npos)
        return {};
    const size_t open = declaration.find_first_of("\"'", key);
    if (open == std::string_view::npos)
        return {};
    const size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos)
        return {};
    return std::string(declaration.substr(open + 1, close - open - 1));
}

std::string XmlText(pugi::xml_node node, const char* path) {
    return Trim(node.first_element_by_path(path).child_value());
}

std::error_code MoneyXmlFile::Read(const std::string& path, const ListFilter& wanted,
                                   const ItemVisitor& visit) {
    m_path = path;
    m_lists.clear();
    m_items.clear();
    m_piece.reset();
    m_pieceStart = 0;
    if (const std::error_code error = ReadText(path, m_text))
        return error;

    m_lineStarts.clear();
    for (size_t at = m_text.find('\n'); at != std::string::npos; at = m_text.find('\n', at + 1))
        m_lineStarts.push_back(at + 1);

    if (!FindItems() || !CheckSkeleton()) {
        ParseWhole(wanted, visit, 0);
        return {};
    }
    std::vector<bool> chosen;
    chosen.reserve(m_lists.size());
    for (const List& list : m_lists)
        chosen.push_back(wanted(list));
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (!ParseItem(item)) {
            ParseWhole(wanted, visit, i);
            return {};
        }
        if (chosen[item.list])
            visit(m_lists[item.list], m_piece.document_element());
    }
    m_piece.reset();
    return {};
}

bool MoneyXmlFile::FindItems() {
    const std::string_view text = m_text;
    std::unordered_set<std::string_view> listNames;
    int depth = 0;
    bool rootSeen = false;
    size_t itemBegin = 0;
    const auto skipTo = [&text](size_t from, std::string_view end) {
        const size_t at = text.find(end, from);
        return at == std::string_view::npos ? at : at + end.size();
    };
    size_t at = text.find('<');
    while (at != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        // Nearly every tag is a start or an end tag: the character after '<'
        // tells them from the rest.
        const char kind = rest.size() > 1 ? rest[1] : '\0';
        size_t next = std::string_view::npos;
        if (kind == '/') {
            next = text.find('>', at + 2);
            if (next == std::string_view::npos || --depth < 0)
                return false;
            ++next;
            if (depth == 2)
                m_items.push_back({itemBegin, next, m_lists.size() - 1});
        } else if (kind != '!' && kind != '?') {
            // A start tag ends at the first '>' outside quotes.
            size_t end = at + 1;
            while (end < text.size() && text[end] != '>') {
                if (text[end] == '"' || text[end] == '\'') {
                    end = text.find(text[end], end + 1);
                    if (end == std::string_view::npos)
                        return false;
                }
                ++end;
            }
            if (end >= text.size())
                return false;
            next = end + 1;
            const bool empty = text[end - 1] == '/';
            if (depth == 0) {
                // A second root is left to the parser of the whole file.
                if (rootSeen)
                    return false;
                rootSeen = true;
            } else if (depth == 1) {
                const std::string_view name =
                    text.substr(at + 1, text.find_first_of(" \t\r\n/>", at + 1) - at - 1);
                m_lists.push_back({std::string(name), listNames.insert(name).second});
            } else if (depth == 2) {
                itemBegin = at;
                if (empty)
                    m_items.push_back({at, next, m_lists.size() - 1});
            }
            if (!empty)
                ++depth;
        } else if (rest.starts_with("<!--")) {
            next = skipTo(at + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            next = skipTo(at + 9, "]]>");
        } else if (kind == '?') {
            next = skipTo(at + 2, "?>");
        } else {
            // A document type with declarations of its own is left to the
            // parser of the whole file.
            const size_t end = text.find_first_of("[>", at);
            if (end == std::string_view::npos || text[end] == '[')
                return false;
            next = end + 1;
        }
        if (next == std::string_view::npos)
            return false;
        at = text.find('<', next);
    }
    return rootSeen && depth == 0;
}

bool MoneyXmlFile::CheckSkeleton() {
    // The file without its items: the root, the lists and what stands
    // between them. The items are checked one by one.
    std::string skeleton;
    size_t from = 0;
    for (const Item& item : m_items) {
        skeleton.append(m_text, from, item.begin - from);
        from = item.end;
    }
    skeleton.append(m_text, from);
    pugi::xml_document document;
    if (!document.load_buffer_inplace(skeleton.data(), skeleton.size(), ParseOptions,
                                      pugi::encoding_utf8))
        return false;
    // Nothing stands before the first item, so the root's place in the
    // skeleton is its place in the file.
    CheckRoot(*this, document.document_element());
    return true;
}

bool MoneyXmlFile::ParseItem(const Item& item) {
    m_pieceStart = item.begin;
    return m_piece.load_buffer(m_text.data() + item.begin, item.end - item.begin, ParseOptions,
                               pugi::encoding_utf8);
}

void MoneyXmlFile::ParseWhole(const ListFilter& wanted, const ItemVisitor& visit, size_t skip) {
    m_pieceStart = 0;
    const pugi::xml_parse_result result = m_piece.load_buffer_inplace(
        m_text.data(), m_text.size(), ParseOptions, pugi::encoding_utf8);
    if (!result) {
        // The parser has written into the text: the element is looked for in
        // the file as it stands, read again (a failure costs the time once).
        std::string pristine;
        const std::string element = ReadText(m_path, pristine)
                                        ? std::string()
                                        : ElementAt(pristine, static_cast<size_t>(result.offset));
        if (element.empty())
            throw ImportError(Format("Soubor \"%s\" není platný soubor XML: %s na řádku %li.",
                                     m_path.c_str(), ParseProblem(result.status),
                                     LineAt(result.offset)));
        throw ImportError(Format("Soubor \"%s\" není platný soubor XML: %s v elementu %s na "
                                 "řádku %li.",
                                 m_path.c_str(), ParseProblem(result.status), element.c_str(),
                                 LineAt(result.offset)));
    }
    CheckRoot(*this, m_piece.document_element());
    // The items, as the file would have been split into them.
    size_t ordinal = 0;
    std::unordered_set<std::string_view> names;
    for (pugi::xml_node list : m_piece.document_element().children()) {
        if (list.type() != pugi::node_element)
            continue;
        const List facts{list.name(), names.insert(list.name()).second};
        const bool chosen = wanted(facts);
        for (pugi::xml_node item : list.children()) {
            if (item.type() == pugi::node_element && ordinal++ >= skip && chosen)
                visit(facts, item);
        }
    }
    m_piece.reset();
}

long MoneyXmlFile::LineOf(pugi::xml_node node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    return offset < 0 ? 0 : LineAt(static_cast<std::ptrdiff_t>(m_pieceStart) + offset);
}

long MoneyXmlFile::LineAt(std::ptrdiff_t offset) const {
    if (offset < 0)
        return 0;
    const auto after =
        std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), static_cast<size_t>(offset));
    return static_cast<long>(after - m_lineStarts.begin()) + 1;
}

} // namespace tarvo
