#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarvo {

// A Money S3 data exchange file ("XML přenos dat", a MoneyData document),
// read whole. Money writes its exports in Windows-1250: the declared encoding
// is decoded to UTF-8 before the parser sees the text, since the parser knows
// only the Unicode encodings. Elements are reached by name; each knows the
// line it starts on, for the messages about it.
class MoneyXmlFile {
public:
    MoneyXmlFile() = default;
    MoneyXmlFile(const MoneyXmlFile&) = delete;
    MoneyXmlFile& operator=(const MoneyXmlFile&) = delete;

    // Reads the file. A file that cannot be read gives its error code; one
    // in an unknown encoding, malformed, or without the MoneyData root throws
    // ImportError with a message naming the file and the line.
    std::error_code Open(const std::string& path);

    // The MoneyData element.
    pugi::xml_node Root() const { return m_document.document_element(); }
    const std::string& Path() const { return m_path; }
    // The line (from 1) on which the node starts.
    long LineOf(pugi::xml_node node) const;
    long LineAt(std::ptrdiff_t offset) const;

private:
    std::string m_path;
    // The UTF-8 text; the document is parsed in place and points into it.
    std::string m_text;
    // Where each line after the first starts, found before parsing in place
    // overwrites some of the line ends.
    std::vector<size_t> m_lineStarts;
    pugi::xml_document m_document;
};

// The encoding named by the XML declaration at the start of text ("" when
// there is none).
std::string DeclaredXmlEncoding(std::string_view text);

// The trimmed text of the element at path ("A/B/C") under node; "" when any
// element of the path is missing.
std::string XmlText(pugi::xml_node node, const char* path);

} // namespace tarvo
