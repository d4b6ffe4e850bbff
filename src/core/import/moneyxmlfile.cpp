#include "core/import/moneyxmlfile.h"

#include "core/data/shared.h"
#include "core/import/importframework.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <unicode/ucnv.h>
#include <unordered_set>
#include <vector>

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

// The file's bytes as UTF-8 text, a block at a time.
class TextReader {
public:
    explicit TextReader(const std::string& path) : m_path(path) {}

    // Opens the file and reads its first block, which tells the encoding. A
    // file that cannot be read gives its error code.
    std::error_code Open() {
        m_in.open(m_path, std::ios::binary | std::ios::ate);
        if (!m_in)
            return std::error_code(errno ? errno : ENOENT, std::generic_category());
        const std::streamoff size = m_in.tellg();
        if (size < 0)
            return std::error_code(EIO, std::generic_category());
        if (size > static_cast<std::streamoff>(INT32_MAX))
            throw ImportError(Format("Soubor \"%s\" je příliš velký.", m_path.c_str()));
        m_in.seekg(0);
        m_size = static_cast<size_t>(size);
        m_left = m_size;
        if (!ReadBlock())
            return std::error_code(EIO, std::generic_category());

        // A byte order mark says more than any declaration.
        const std::string_view head = m_block;
        std::string encoding;
        if (head.starts_with("\xEF\xBB\xBF")) {
            m_skip = 3;
        } else if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
            encoding = head[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
            m_skip = 2;
        } else {
            encoding = DeclaredXmlEncoding(head);
        }
        if (!IsUtf8Name(encoding))
            m_decoder.emplace(m_path, encoding);
        return {};
    }

    // The room the whole text is likely to take: Czech text in a one-byte
    // encoding grows by a little as UTF-8.
    size_t TextSize() const { return m_decoder ? m_size + m_size / 8 : m_size; }

    // Appends the text of the next block to text; false when the file has
    // ended, or when it could not be read on (error says why).
    bool Next(std::string& text, std::error_code& error) {
        if (m_first) {
            m_first = false;
            Append(std::string_view(m_block).substr(m_skip), text);
            return true;
        }
        if (m_left == 0)
            return false;
        if (!ReadBlock()) {
            error = std::error_code(EIO, std::generic_category());
            return false;
        }
        Append(m_block, text);
        return true;
    }

private:
    // False when the file ends early.
    bool ReadBlock() {
        constexpr size_t BlockSize = 1 << 20;
        const size_t length = std::min(m_left, BlockSize);
        m_block.resize(length);
        if (!m_in.read(m_block.data(), static_cast<std::streamsize>(length)))
            return false;
        m_left -= length;
        return true;
    }

    void Append(std::string_view bytes, std::string& text) {
        if (m_decoder)
            m_decoder->Decode(bytes, m_left == 0, text);
        else
            text.append(bytes);
    }

    const std::string& m_path;
    std::ifstream m_in;
    size_t m_size = 0;
    size_t m_left = 0;
    std::string m_block;
    // The byte order mark's length.
    size_t m_skip = 0;
    bool m_first = true;
    // None for UTF-8.
    std::optional<Utf8Decoder> m_decoder;
};

// The whole file as UTF-8 text; a file that cannot be read gives its error
// code.
std::error_code ReadText(const std::string& path, std::string& text) {
    TextReader reader(path);
    if (const std::error_code error = reader.Open())
        return error;
    text.clear();
    text.reserve(reader.TextSize());
    std::error_code error;
    while (reader.Next(text, error)) {
    }
    return error;
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
    m_window.clear();
    m_windowStart = 0;
    m_counted = 0;
    m_linesBefore = 0;
    m_text.clear();
    TextReader reader(path);
    if (const std::error_code error = reader.Open())
        return error;
    std::error_code readError;
    size_t items = 0;
    const bool streamed =
        Stream([&] { return reader.Next(m_window, readError); }, wanted, visit, items);
    m_window = std::string();
    m_piece.reset();
    if (readError)
        return readError;
    if (!streamed) {
        if (const std::error_code error = ReadText(path, m_text))
            return error;
        ParseWhole(wanted, visit, items);
        m_text = std::string();
    }
    return {};
}

bool MoneyXmlFile::Stream(const std::function<bool()>& more, const ListFilter& wanted,
                          const ItemVisitor& visit, size_t& items) {
    // The text's offsets below are the file's; the window holds the text
    // from m_windowStart on.
    constexpr size_t npos = std::string::npos;
    const auto local = [this](size_t at) { return at - m_windowStart; };
    const auto windowEnd = [this] { return m_windowStart + m_window.size(); };
    // Where the character first stands from on, read on as far as needed;
    // npos when the file ends before it.
    const auto findChar = [&](char wantedChar, size_t from) {
        for (;;) {
            const size_t start = local(from);
            if (start < m_window.size()) {
                const void* found =
                    std::memchr(m_window.data() + start, wantedChar, m_window.size() - start);
                if (found)
                    return m_windowStart +
                           static_cast<size_t>(static_cast<const char*>(found) - m_window.data());
            }
            from = std::max(from, windowEnd());
            if (!more())
                return npos;
        }
    };
    // The same for a text.
    const auto find = [&](std::string_view what, size_t from) {
        for (size_t searched = from;;) {
            const size_t at = std::string_view(m_window).find(what, local(searched));
            if (at != npos)
                return m_windowStart + at;
            const size_t end = windowEnd();
            if (!more())
                return npos;
            // A match may begin in the text read before.
            searched = std::max(from, end + 1 - std::min(end + 1, what.size()));
        }
    };
    // Whether the text up to end (not included) has been read.
    const auto has = [&](size_t end) {
        while (windowEnd() < end) {
            if (!more())
                return false;
        }
        return true;
    };
    // The '>' that ends the start tag at: the first one outside quotes.
    const auto startTagEnd = [&](size_t at) {
        for (size_t i = local(at + 1);;) {
            const char* const text = m_window.data();
            const size_t size = m_window.size();
            while (i < size && text[i] != '>' && text[i] != '"' && text[i] != '\'')
                ++i;
            if (i == size) {
                if (!more())
                    return npos;
            } else if (text[i] == '>') {
                return m_windowStart + i;
            } else {
                const size_t closed = findChar(text[i], m_windowStart + i + 1);
                if (closed == npos)
                    return npos;
                i = local(closed) + 1;
            }
        }
    };

    std::vector<List> lists;
    std::vector<bool> chosen;
    std::unordered_set<std::string> listNames;
    // The file without its items: the root, the lists and what stands
    // between them. The items are checked one by one; skeletonFrom is where
    // the text not yet in it starts.
    std::string skeleton;
    size_t skeletonFrom = 0;
    const auto itemDone = [&](size_t begin, size_t end) {
        skeleton.append(m_window, local(skeletonFrom), begin - skeletonFrom);
        skeletonFrom = end;
        CountLines(begin);
        if (!ParsePiece(std::string_view(m_window).substr(local(begin), end - begin),
                        m_linesBefore + 1))
            return false;
        ++items;
        if (chosen.back())
            visit(lists.back(), m_piece.document_element());
        return true;
    };

    int depth = 0;
    bool rootSeen = false;
    size_t itemBegin = 0;
    size_t at = findChar('<', 0);
    while (at != npos) {
        // Nearly every tag is a start or an end tag: the character after '<'
        // tells them from the rest.
        const char kind = has(at + 2) ? m_window[local(at + 1)] : '\0';
        size_t next = npos;
        if (kind == '/') {
            next = findChar('>', at + 2);
            if (next == npos || --depth < 0)
                return false;
            ++next;
            if (depth == 2 && !itemDone(itemBegin, next))
                return false;
        } else if (kind != '!' && kind != '?') {
            const size_t end = startTagEnd(at);
            if (end == npos)
                return false;
            next = end + 1;
            const bool empty = m_window[local(end - 1)] == '/';
            if (depth == 0) {
                // A second root is left to the parser of the whole file.
                if (rootSeen)
                    return false;
                rootSeen = true;
            } else if (depth == 1) {
                const std::string_view tag =
                    std::string_view(m_window).substr(local(at + 1), end - at - 1);
                const std::string name(tag.substr(0, tag.find_first_of(" \t\r\n/")));
                lists.push_back({name, listNames.insert(name).second});
                chosen.push_back(wanted(lists.back()));
            } else if (depth == 2) {
                itemBegin = at;
                if (empty && !itemDone(at, next))
                    return false;
            }
            if (!empty)
                ++depth;
        } else {
            has(at + 9);
            const std::string_view rest = std::string_view(m_window).substr(local(at));
            if (rest.starts_with("<!--")) {
                next = find("-->", at + 4);
                next = next == npos ? npos : next + 3;
            } else if (rest.starts_with("<![CDATA[")) {
                next = find("]]>", at + 9);
                next = next == npos ? npos : next + 3;
            } else if (kind == '?') {
                next = find("?>", at + 2);
                next = next == npos ? npos : next + 2;
            } else {
                // A document type with declarations of its own is left to
                // the parser of the whole file.
                next = findChar('>', at);
                if (next == npos ||
                    std::string_view(m_window).substr(local(at), next - at).find('[') != npos)
                    return false;
                ++next;
            }
            if (next == npos)
                return false;
        }
        // The text before the item being read, or before the next tag, is
        // done with: dropped a block at a time.
        const size_t keep = depth > 2 ? itemBegin : next;
        if (local(keep) >= (1 << 20)) {
            if (keep > skeletonFrom) {
                skeleton.append(m_window, local(skeletonFrom), keep - skeletonFrom);
                skeletonFrom = keep;
            }
            CountLines(keep);
            m_window.erase(0, local(keep));
            m_windowStart = keep;
        }
        at = findChar('<', next);
    }
    if (!rootSeen || depth != 0)
        return false;
    skeleton.append(m_window, local(skeletonFrom));
    // Nothing stands before the first item, so the root's place in the
    // skeleton is its place in the file.
    if (!ParsePiece(skeleton, 1))
        return false;
    CheckRoot(*this, m_piece.document_element());
    return true;
}

void MoneyXmlFile::CountLines(size_t upTo) {
    const char* at = m_window.data() + (m_counted - m_windowStart);
    const char* const end = m_window.data() + (upTo - m_windowStart);
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)))) !=
           nullptr) {
        ++m_linesBefore;
        ++at;
    }
    m_counted = upTo;
}

pugi::xml_parse_result MoneyXmlFile::ParsePiece(std::string_view text, long line) {
    m_pieceText = text;
    m_pieceLine = line;
    return m_piece.load_buffer(text.data(), text.size(), ParseOptions, pugi::encoding_utf8);
}

void MoneyXmlFile::ParseWhole(const ListFilter& wanted, const ItemVisitor& visit, size_t skip) {
    // Parsed from a copy: the text stays as the file has it, for the lines
    // and the element named in a message.
    const pugi::xml_parse_result result = ParsePiece(m_text, 1);
    if (!result) {
        const std::string element = ElementAt(m_text, static_cast<size_t>(result.offset));
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
    return offset < 0 ? 0 : LineAt(offset);
}

long MoneyXmlFile::LineAt(std::ptrdiff_t offset) const {
    if (offset < 0)
        return 0;
    const std::string_view before =
        m_pieceText.substr(0, std::min(m_pieceText.size(), static_cast<size_t>(offset)));
    return m_pieceLine + static_cast<long>(std::count(before.begin(), before.end(), '\n'));
}

} // namespace tarvo
