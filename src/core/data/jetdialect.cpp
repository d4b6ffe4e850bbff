#include "core/data/jetdialect.h"

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/schema.h"
#include "core/data/shared.h"

#include <cctype>
#include <cstdio>

namespace tarvo {

namespace {

enum class Tok { Space, Word, Number, String, Date, Punct };

struct Token {
    Tok kind;
    std::string text;
};

bool IsWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        size_t j = i + 1;
        Tok kind;
        if (std::isspace(static_cast<unsigned char>(c))) {
            while (j < sql.size() && std::isspace(static_cast<unsigned char>(sql[j])))
                ++j;
            kind = Tok::Space;
        } else if (c == '\'' || c == '"') {
            // A doubled quote inside the literal stands for one.
            while (j < sql.size()) {
                if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            kind = Tok::String;
        } else if (c == '[') {
            while (j < sql.size() && sql[j] != ']')
                ++j;
            j = std::min(j + 1, sql.size());
            kind = Tok::Word;
        } else if (c == '#') {
            while (j < sql.size() && sql[j] != '#')
                ++j;
            j = std::min(j + 1, sql.size());
            kind = Tok::Date;
        } else if (IsDigit(c) || (c == '.' && i + 1 < sql.size() && IsDigit(sql[i + 1]))) {
            while (j < sql.size() && (IsDigit(sql[j]) || sql[j] == '.'))
                ++j;
            kind = Tok::Number;
        } else if (IsWordStart(c)) {
            while (j < sql.size() && IsWordChar(sql[j]))
                ++j;
            kind = Tok::Word;
        } else {
            if ((c == '<' || c == '>' || c == '!') && j < sql.size() &&
                (sql[j] == '=' || sql[j] == '>'))
                ++j;
            kind = Tok::Punct;
        }
        tokens.push_back({kind, std::string(sql.substr(i, j - i))});
        i = j;
    }
    return tokens;
}

bool Is(const Token& t, const char* word) {
    return t.kind == Tok::Word && EqualsNoCase(t.text, word);
}

std::string StripBrackets(const std::string& word) {
    if (word.size() >= 2 && word.front() == '[' && word.back() == ']')
        return word.substr(1, word.size() - 2);
    return word;
}

// "text" -> 'text'; Jet wrote string literals in either quote.
std::string SingleQuoted(const std::string& literal) {
    if (literal.empty() || literal.front() != '"')
        return literal;
    std::string inner = literal.substr(1, literal.size() >= 2 ? literal.size() - 2 : 0);
    std::string plain;
    for (size_t i = 0; i < inner.size(); ++i) {
        plain += inner[i];
        if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"')
            ++i;
    }
    return SqlQuote(plain);
}

// #m/d/yyyy# or #m/d/yyyy h:mm:ss# -> the OLE date number.
std::string DateNumber(const std::string& literal) {
    int m = 0, d = 0, y = 0, hh = 0, mm = 0, ss = 0;
    const int n = std::sscanf(literal.c_str(), "#%d/%d/%d %d:%d:%d#", &m, &d, &y, &hh, &mm, &ss);
    const OleDate date = n >= 3 ? OleDate::FromParts(y, m, d, hh, mm, ss) : OleDate();
    if (!date.IsValid())
        return "NULL";
    return Format("%.10g", date.Value());
}

// Index of the next non-space token after i (or tokens.size()).
size_t NextSolid(const std::vector<Token>& t, size_t i) {
    for (++i; i < t.size(); ++i) {
        if (t[i].kind != Tok::Space)
            return i;
    }
    return t.size();
}

size_t PrevSolid(const std::vector<Token>& t, size_t i) {
    while (i > 0) {
        --i;
        if (t[i].kind != Tok::Space)
            return i;
    }
    return t.size();
}

// A column reference: word, or word '.' word. Returns the index of its last
// token and the column name, or nothing.
struct ColumnRef {
    size_t first;
    size_t last;
    std::string column;
};

std::optional<ColumnRef> ColumnAt(const std::vector<Token>& t, size_t i) {
    if (i >= t.size() || t[i].kind != Tok::Word)
        return std::nullopt;
    size_t last = i;
    if (i + 2 < t.size() && t[i + 1].text == "." && t[i + 2].kind == Tok::Word)
        last = i + 2;
    return ColumnRef{i, last, StripBrackets(t[last].text)};
}

// The column reference that ends at index i (walking back over a qualifier).
std::optional<ColumnRef> ColumnEndingAt(const std::vector<Token>& t, size_t i) {
    if (i >= t.size() || t[i].kind != Tok::Word)
        return std::nullopt;
    size_t first = i;
    if (i >= 2 && t[i - 1].text == "." && t[i - 2].kind == Tok::Word)
        first = i - 2;
    return ColumnRef{first, i, StripBrackets(t[i].text)};
}

bool IsQuantityColumn(const std::string& column) {
    const auto kind = KindOfColumn(column);
    return kind && *kind == ColumnKind::Quantity;
}

bool IsTextColumn(const std::string& column) {
    const auto kind = KindOfColumn(column);
    return kind && *kind == ColumnKind::Text;
}

std::string Join(const std::vector<Token>& t, size_t from, size_t to) {
    std::string s;
    for (size_t i = from; i <= to && i < t.size(); ++i)
        s += t[i].text;
    return s;
}

bool IsComparison(const std::string& op) {
    return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=" ||
           op == "!=";
}

std::string ScaledNumber(const std::string& number) {
    const auto q = ParseQuantity(number);
    return q ? std::to_string(q->Scaled()) : number;
}

// a*b of two quantity columns -> CURMUL(a, b).
void RewriteQuantityProducts(std::vector<Token>& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].text != "*")
            continue;
        const size_t l = PrevSolid(t, i);
        const size_t r = NextSolid(t, i);
        const auto left = ColumnEndingAt(t, l);
        const auto right = ColumnAt(t, r);
        if (!left || !right || !IsQuantityColumn(left->column) || !IsQuantityColumn(right->column))
            continue;
        const std::string call = "CURMUL(" + Join(t, left->first, left->last) + ", " +
                                 Join(t, right->first, right->last) + ")";
        t[left->first] = {Tok::Word, call};
        for (size_t k = left->first + 1; k <= right->last; ++k)
            t[k] = {Tok::Space, ""};
        i = right->last;
    }
}

// quantity_column op 0.5 -> quantity_column op 5000 (and the mirror form).
void ScaleQuantityComparisons(std::vector<Token>& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Tok::Punct || !IsComparison(t[i].text))
            continue;
        const size_t l = PrevSolid(t, i);
        const size_t r = NextSolid(t, i);
        if (l >= t.size() || r >= t.size())
            continue;
        // A minus sign stays as it is; only the digits carry the scale.
        const size_t number = t[r].text == "-" ? NextSolid(t, r) : r;
        if (const auto left = ColumnEndingAt(t, l); left && IsQuantityColumn(left->column) &&
                                                    number < t.size() &&
                                                    t[number].kind == Tok::Number) {
            t[number].text = ScaledNumber(t[number].text);
            continue;
        }
        if (const auto right = ColumnAt(t, r);
            right && IsQuantityColumn(right->column) && t[l].kind == Tok::Number)
            t[l].text = ScaledNumber(t[l].text);
    }
}

// ORDER BY text_column -> ORDER BY text_column COLLATE CZECH.
void CollateTextOrdering(std::vector<Token>& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        if (!Is(t[i], "ORDER"))
            continue;
        size_t j = NextSolid(t, i);
        if (j >= t.size() || !Is(t[j], "BY"))
            continue;
        int depth = 0;
        size_t termStart = NextSolid(t, j);
        for (size_t k = termStart; k <= t.size(); ++k) {
            const bool atEnd =
                k == t.size() || (depth == 0 && (t[k].text == "," || t[k].text == ")" ||
                                                 t[k].text == ";" || Is(t[k], "LIMIT")));
            if (!atEnd) {
                if (t[k].text == "(")
                    ++depth;
                else if (t[k].text == ")")
                    --depth;
                continue;
            }
            // The term is termStart..k-1 without a trailing ASC/DESC.
            size_t last = PrevSolid(t, k);
            if (last < t.size() && (Is(t[last], "ASC") || Is(t[last], "DESC")))
                last = PrevSolid(t, last);
            const auto ref = ColumnAt(t, termStart);
            if (ref && ref->last == last && IsTextColumn(ref->column))
                t[ref->last].text += " COLLATE CZECH";
            if (k == t.size() || t[k].text != ",")
                break;
            termStart = NextSolid(t, k);
        }
    }
}

// Names of the top-level select items computed from quantity columns.
std::vector<std::string> QuantityResults(const std::vector<Token>& t) {
    std::vector<std::string> names;
    size_t i = 0;
    while (i < t.size() && t[i].kind == Tok::Space)
        ++i;
    if (i >= t.size() || !Is(t[i], "SELECT"))
        return names;
    int depth = 0;
    size_t itemStart = NextSolid(t, i);
    for (size_t k = itemStart; k <= t.size(); ++k) {
        const bool end = k == t.size() || (depth == 0 && (t[k].text == "," || Is(t[k], "FROM")));
        if (!end) {
            if (t[k].text == "(")
                ++depth;
            else if (t[k].text == ")")
                --depth;
            continue;
        }
        const size_t last = PrevSolid(t, k);
        if (last < t.size() && last >= itemStart) {
            bool quantity = false;
            bool plainColumn = ColumnAt(t, itemStart) && ColumnAt(t, itemStart)->last == last;
            bool counts = false;
            for (size_t m = itemStart; m <= last; ++m) {
                if (t[m].kind == Tok::Word && (IsQuantityColumn(StripBrackets(t[m].text)) ||
                                               t[m].text.rfind("CURMUL(", 0) == 0))
                    quantity = true;
                if (Is(t[m], "COUNT"))
                    counts = true;
            }
            if (quantity && !counts && !plainColumn) {
                const size_t before = PrevSolid(t, last);
                if (before < t.size() && before >= itemStart && Is(t[before], "AS"))
                    names.push_back(StripBrackets(t[last].text));
                else
                    names.push_back(Join(t, itemStart, last));
            }
        }
        if (k == t.size() || Is(t[k], "FROM"))
            break;
        itemStart = NextSolid(t, k);
    }
    return names;
}

} // namespace

TranslatedSql TranslateJetSql(std::string_view jetSql) {
    std::vector<Token> tokens = Tokenize(jetSql);
    for (Token& t : tokens) {
        if (t.kind == Tok::String)
            t.text = SingleQuoted(t.text);
        else if (t.kind == Tok::Date)
            t = {Tok::Number, DateNumber(t.text)};
    }
    ScaleQuantityComparisons(tokens);
    RewriteQuantityProducts(tokens);
    CollateTextOrdering(tokens);

    TranslatedSql result;
    result.quantityResults = QuantityResults(tokens);
    for (const Token& t : tokens)
        result.sql += t.text;
    return result;
}

} // namespace tarvo
