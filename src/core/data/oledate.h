#pragma once

#include <compare>
#include <optional>
#include <string>

namespace tarvo {

// OLE date-time: days since 30 December 1899 as a double, the time of day as
// the fraction (for days before 1899 the fraction still counts forward from
// midnight), plus a validity state. Stored as REAL in the database.
class OleDate {
public:
    constexpr OleDate() = default; // invalid

    static OleDate FromValue(double value) { return OleDate(value); }
    // Gives an invalid date when the parts do not form a real date-time.
    static OleDate FromParts(int year, int month, int day, int hour = 0, int minute = 0,
                             int second = 0);
    static OleDate Now();   // local time
    static OleDate Today(); // local day, 00:00:00

    bool IsValid() const { return m_valid; }
    double Value() const { return m_value; }

    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    int DayOfWeek() const; // 1 = Sunday ... 7 = Saturday

    // Day number (whole days since 30 December 1899) of the date's calendar day.
    long DayNumber() const;
    // The same day at 00:00:00.
    OleDate DayOnly() const;
    OleDate WithTime(int hour, int minute, int second) const;
    OleDate AddDays(long days) const;

    // "dd.mm.yyyy"; empty for an invalid date.
    std::string ToText() const;
    // Jet date literal "#m/d/yyyy#" (month first).
    std::string SqlLiteral() const;

    auto operator<=>(const OleDate& other) const { return m_value <=> other.m_value; }
    bool operator==(const OleDate& other) const { return m_value == other.m_value; }

private:
    explicit OleDate(double value) : m_value(value), m_valid(true) {}

    double m_value = 0.0;
    bool m_valid = false;
};

// Parses "d.m.yyyy" with an optional " hh:mm[:ss]". Invalid on any error.
OleDate ParseCzechDate(const std::string& text);

// The question to ask before a date typed for a record is kept when it is
// most likely a slip: a day before 1990, or later than the same day a year
// after now (29 February gives 28 February). Days are compared as they are
// shown, so a time a moment before midnight counts for the next day. Nothing
// for any other date.
std::optional<std::string> UnusualDateQuestion(const OleDate& date, const OleDate& now);

} // namespace tarvo
