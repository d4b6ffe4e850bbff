#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

// Reads the next piece of a text into buffer, at most size bytes; 0 at its end.
using TextSource = std::function<size_t(char* buffer, size_t size)>;

// Hands visit the XML text of each element named local that stands inside the
// first element named container, in document order. Names match in any
// namespace form ("row" finds <row> and <x:row>). The text is read piece by
// piece and only the element at hand is kept, so a part of hundreds of
// megabytes needs the memory of one element; visit may change the element's
// text in place (for parsing it in place).
//
// The text is scanned, not parsed: XML never has "<" unescaped in content or
// attribute values, so every "<" starts markup. Comments, CDATA sections and
// processing instructions are skipped, since there it may stand freely.
//
// Returns false when the text holds no container element, or ends inside the
// container, an element or a comment; what was visited until then stays visited.
bool ForEachXmlElement(const TextSource& read, std::string_view container, std::string_view local,
                       const std::function<void(char* text, size_t size)>& visit);

// The text as XML content or an attribute value: markup characters as
// entities; control characters other than tab and line breaks, which XML
// cannot carry at all, as spaces.
void AppendXmlEscaped(std::string& out, std::string_view text);
std::string XmlEscaped(std::string_view text);

} // namespace tarvo
