#include "core/import/moneyxmlfile.h"

#include "core/data/shared.h"
#include "core/import/importframework.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <unicode/ucnv.h>

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

// The bytes in encoding as UTF-8, through ICU.
std::string ToUtf8(const std::string& path, const std::string& bytes, const std::string& encoding) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* probe = ucnv_open(encoding.c_str(), &status);
    if (U_FAILURE(status))
        throw ImportError(Format("Soubor \"%s\" je v kódování \"%s\", které Tarvo nezná.",
                                 path.c_str(), encoding.c_str()));
    ucnv_close(probe);
    // Measured first: a buffer of the exact size keeps a large export from
    // costing three times its size while it is converted.
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_convert("UTF-8", encoding.c_str(), nullptr, 0, bytes.data(),
                                        static_cast<int32_t>(bytes.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        throw ImportError(Format("Soubor \"%s\" nelze převést z kódování \"%s\".", path.c_str(),
                                 encoding.c_str()));
    std::string text(static_cast<size_t>(length), '\0');
    status = U_ZERO_ERROR;
    ucnv_convert("UTF-8", encoding.c_str(), text.data(), length, bytes.data(),
                 static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        throw ImportError(Format("Soubor \"%s\" nelze převést z kódování \"%s\".", path.c_str(),
                                 encoding.c_str()));
    return text;
}

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
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (!in)
            return std::error_code(errno ? errno : ENOENT, std::generic_category());
        // One read of the whole file: an export runs to tens of megabytes.
        const std::streamoff size = in.tellg();
        if (size < 0)
            return std::error_code(EIO, std::generic_category());
        bytes.resize(static_cast<size_t>(size));
        in.seekg(0);
        if (!in.read(bytes.data(), size))
            return std::error_code(EIO, std::generic_category());
    }

    if (bytes.size() > static_cast<size_t>(INT32_MAX))
        throw ImportError(Format("Soubor \"%s\" je příliš velký.", path.c_str()));
    // A byte order mark says more than any declaration.
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        text = bytes.substr(3);
    } else if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0) {
        text = ToUtf8(path, bytes, bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE");
        if (text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.erase(0, 3);
    } else {
        const std::string encoding = DeclaredXmlEncoding(bytes);
        if (IsUtf8Name(encoding))
            text = std::move(bytes);
        else
            text = ToUtf8(path, bytes, encoding);
    }
    return {};
}

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

std::error_code MoneyXmlFile::Open(const std::string& path) {
    m_path = path;
    if (const std::error_code error = ReadText(path, m_text))
        return error;

    m_lineStarts.clear();
    for (size_t at = m_text.find('\n'); at != std::string::npos; at = m_text.find('\n', at + 1))
        m_lineStarts.push_back(at + 1);

    // Leaf text goes into its element instead of a node of its own: half the
    // nodes for an export that is nearly all leaves.
    const pugi::xml_parse_result result = m_document.load_buffer_inplace(
        m_text.data(), m_text.size(), pugi::parse_default | pugi::parse_embed_pcdata,
        pugi::encoding_utf8);
    if (!result) {
        // The parser has written into the text: the element is looked for in
        // the file as it stands, read again (a failure costs the time once).
        std::string pristine;
        const std::string element = ReadText(path, pristine)
                                        ? std::string()
                                        : ElementAt(pristine, static_cast<size_t>(result.offset));
        if (element.empty())
            throw ImportError(Format("Soubor \"%s\" není platný soubor XML: %s na řádku %li.",
                                     path.c_str(), ParseProblem(result.status),
                                     LineAt(result.offset)));
        throw ImportError(Format("Soubor \"%s\" není platný soubor XML: %s v elementu %s na "
                                 "řádku %li.",
                                 path.c_str(), ParseProblem(result.status), element.c_str(),
                                 LineAt(result.offset)));
    }
    if (std::string_view(Root().name()) != "MoneyData")
        throw ImportError(Format("Soubor \"%s\" není export Money S3: jeho kořenový element "
                                 "na řádku %li není MoneyData.",
                                 path.c_str(), LineOf(Root())));
    return {};
}

long MoneyXmlFile::LineOf(pugi::xml_node node) const {
    return LineAt(node.offset_debug());
}

long MoneyXmlFile::LineAt(std::ptrdiff_t offset) const {
    if (offset < 0)
        return 0;
    const auto after =
        std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), static_cast<size_t>(offset));
    return static_cast<long>(after - m_lineStarts.begin()) + 1;
}

} // namespace tarvo
