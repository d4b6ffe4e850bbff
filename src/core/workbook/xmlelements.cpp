#include "core/workbook/xmlelements.h"

#include <algorithm>
#include <string>

namespace tarvo {

namespace {

constexpr size_t PieceSize = 256 * 1024;
constexpr size_t NotFound = std::string::npos;

// The part of the text not yet dealt with. Positions count from the start of
// the whole text, so that dropping what lies behind leaves them valid.
class Text {
public:
    explicit Text(const TextSource& read) : m_read(read) {}

    // Nothing before position is looked at again; it may be dropped when
    // more text is read.
    void Keep(size_t position) { m_keep = position; }

    // The character at position; 0 beyond the end of the text (XML text
    // never holds a 0).
    char At(size_t position) {
        while (position - m_base >= m_buffer.size()) {
            if (!More())
                return 0;
        }
        return m_buffer[position - m_base];
    }

    bool StartsWith(size_t position, std::string_view text) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (At(position + i) != text[i])
                return false;
        }
        return true;
    }

    size_t Find(std::string_view needle, size_t from) {
        for (;;) {
            const size_t at = m_buffer.find(needle, from - m_base);
            if (at != NotFound)
                return at + m_base;
            // The needle may begin in the last characters read.
            const size_t end = m_base + m_buffer.size();
            from = std::max(from, end >= needle.size() ? end - needle.size() + 1 : 0);
            if (!More())
                return NotFound;
        }
    }

    // Valid until more text is read.
    char* Data(size_t position) { return m_buffer.data() + (position - m_base); }

private:
    bool More() {
        if (m_ended)
            return false;
        m_buffer.erase(0, m_keep - m_base);
        m_base = m_keep;
        const size_t size = m_buffer.size();
        // Growing by at least what is held keeps the reading of one huge
        // element linear.
        const size_t piece = std::max(PieceSize, size);
        m_buffer.resize(size + piece);
        const size_t read = m_read(m_buffer.data() + size, piece);
        m_buffer.resize(size + read);
        m_ended = read == 0;
        return !m_ended;
    }

    const TextSource& m_read;
    std::string m_buffer;
    size_t m_base = 0; // position of the buffer's first character
    size_t m_keep = 0;
    bool m_ended = false;
};

bool IsNameEnd(char c) {
    return c == 0 || c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

size_t NameLength(Text& text, size_t position) {
    size_t length = 0;
    while (!IsNameEnd(text.At(position + length)))
        ++length;
    return length;
}

std::string_view LocalPart(std::string_view name) {
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The position after the comment, CDATA section, processing instruction or
// document type declaration at position; NotFound when it is not closed.
size_t SkipMarkup(Text& text, size_t position) {
    const auto after = [&](std::string_view close, size_t from) {
        const size_t at = text.Find(close, from);
        return at == NotFound ? NotFound : at + close.size();
    };
    if (text.StartsWith(position, "<!--"))
        return after("-->", position + 4);
    if (text.StartsWith(position, "<![CDATA["))
        return after("]]>", position + 9);
    if (text.At(position + 1) == '?')
        return after("?>", position + 2);
    return after(">", position + 2);
}

// The position of the ">" that closes the tag starting at position. Attribute
// values may hold ">" unescaped.
size_t TagEnd(Text& text, size_t position) {
    char quote = 0;
    for (size_t i = position + 1;; ++i) {
        const char c = text.At(i);
        if (c == 0)
            return NotFound;
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
}

// The position after the element whose start tag begins at position with a
// name of length characters at name.
size_t ElementEnd(Text& text, size_t position, size_t name, size_t length) {
    const std::string full(text.Data(name), length);
    const size_t close = TagEnd(text, position);
    if (close == NotFound)
        return NotFound;
    if (text.At(close - 1) == '/')
        return close + 1;
    for (size_t from = close + 1;;) {
        const size_t at = text.Find("<", from);
        if (at == NotFound)
            return NotFound;
        const char next = text.At(at + 1);
        if (next == '!' || next == '?') {
            from = SkipMarkup(text, at);
            if (from == NotFound)
                return NotFound;
            continue;
        }
        if (next == '/' && text.StartsWith(at + 2, full) &&
            IsNameEnd(text.At(at + 2 + full.size()))) {
            const size_t end = text.Find(">", at);
            return end == NotFound ? NotFound : end + 1;
        }
        from = at + 1;
    }
}

} // namespace

bool ForEachXmlElement(const TextSource& read, std::string_view container, std::string_view local,
                       const std::function<void(char* text, size_t size)>& visit) {
    Text text(read);
    bool inside = false;
    for (size_t from = 0;;) {
        text.Keep(from);
        const size_t at = text.Find("<", from);
        if (at == NotFound)
            return false;
        const char next = text.At(at + 1);
        if (next == '!' || next == '?') {
            from = SkipMarkup(text, at);
            if (from == NotFound)
                return false;
            continue;
        }
        const bool endTag = next == '/';
        const size_t name = endTag ? at + 2 : at + 1;
        const size_t length = NameLength(text, name);
        const std::string_view tagName = LocalPart(std::string_view(text.Data(name), length));
        from = at + 1;
        if (!inside) {
            if (endTag || tagName != container)
                continue;
            const size_t close = TagEnd(text, at);
            if (close == NotFound)
                return false;
            if (text.At(close - 1) == '/')
                return true; // an empty container
            inside = true;
            from = close + 1;
        } else if (endTag) {
            if (tagName == container)
                return true;
        } else if (tagName == local) {
            const size_t end = ElementEnd(text, at, name, length);
            if (end == NotFound)
                return false;
            visit(text.Data(at), end - at);
            from = end;
        }
    }
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters other than tab and line breaks are not
            // allowed in XML at all.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += ' ';
            else
                out += c;
        }
    }
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    AppendXmlEscaped(out, text);
    return out;
}

} // namespace tarvo
