#include "core/data/oledate.h"

#include "core/data/platform.h"
#include "core/data/shared.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace tarvo {

namespace {

// Days from 1 January 1970 for a proleptic Gregorian date.
constexpr long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

struct Civil {
    int year;
    int month;
    int day;
};

Civil CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// A constant of the compiler, so that dates made before main() (constants at
// namespace scope in other files) never see it still 0.
constexpr long OleEpoch = DaysFromCivil(1899, 12, 30);

// The calendar day and the second of that day, rounded to whole seconds.
struct Split {
    long day;
    long second;
};

Split SplitValue(double value) {
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    long seconds = std::lround(fraction * 86400.0);
    long day = static_cast<long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += value < 0 ? -1 : 1;
    }
    return {day, seconds};
}

double JoinValue(long day, long second) {
    const double fraction = static_cast<double>(second) / 86400.0;
    return day < 0 ? static_cast<double>(day) - fraction : static_cast<double>(day) + fraction;
}

} // namespace

OleDate OleDate::FromParts(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return OleDate();
    const long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const Civil check = CivilFromDays(days);
    if (check.day != day || check.month != month)
        return OleDate();
    return OleDate(JoinValue(days - OleEpoch, hour * 3600L + minute * 60L + second));
}

OleDate OleDate::Now() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::LocalTime(now);
    return FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, local.tm_sec);
}

OleDate OleDate::Today() {
    return Now().DayOnly();
}

int OleDate::Year() const {
    return CivilFromDays(SplitValue(m_value).day + OleEpoch).year;
}
int OleDate::Month() const {
    return CivilFromDays(SplitValue(m_value).day + OleEpoch).month;
}
int OleDate::Day() const {
    return CivilFromDays(SplitValue(m_value).day + OleEpoch).day;
}
int OleDate::Hour() const {
    return static_cast<int>(SplitValue(m_value).second / 3600);
}
int OleDate::Minute() const {
    return static_cast<int>(SplitValue(m_value).second / 60 % 60);
}
int OleDate::Second() const {
    return static_cast<int>(SplitValue(m_value).second % 60);
}

int OleDate::DayOfWeek() const {
    // 30 December 1899 was a Saturday.
    const long d = SplitValue(m_value).day;
    return static_cast<int>(((d % 7) + 7 + 6) % 7) + 1;
}

long OleDate::DayNumber() const {
    return SplitValue(m_value).day;
}

OleDate OleDate::DayOnly() const {
    if (!m_valid)
        return *this;
    return OleDate(static_cast<double>(DayNumber()));
}

OleDate OleDate::WithTime(int hour, int minute, int second) const {
    if (!m_valid)
        return *this;
    return OleDate(JoinValue(DayNumber(), hour * 3600L + minute * 60L + second));
}

OleDate OleDate::AddDays(long days) const {
    if (!m_valid)
        return *this;
    const Split s = SplitValue(m_value);
    return OleDate(JoinValue(s.day + days, s.second));
}

std::string OleDate::ToText() const {
    if (!m_valid)
        return {};
    return Format("%02i.%02i.%i", Day(), Month(), Year());
}

std::string OleDate::SqlLiteral() const {
    return Format("#%i/%i/%i#", Month(), Day(), Year());
}

OleDate ParseCzechDate(const std::string& text) {
    const std::string s = Trim(text);
    int d = 0, m = 0, y = 0, hh = 0, mm = 0, ss = 0, used = 0;
    const auto whole = [&](int consumed) { return consumed == static_cast<int>(s.size()); };
    if (std::sscanf(s.c_str(), "%d.%d.%d %d:%d:%d%n", &d, &m, &y, &hh, &mm, &ss, &used) == 6 &&
        whole(used))
        return OleDate::FromParts(y, m, d, hh, mm, ss);
    used = 0;
    if (std::sscanf(s.c_str(), "%d.%d.%d %d:%d%n", &d, &m, &y, &hh, &mm, &used) == 5 && whole(used))
        return OleDate::FromParts(y, m, d, hh, mm, 0);
    used = 0;
    if (std::sscanf(s.c_str(), "%d.%d.%d%n", &d, &m, &y, &used) == 3 && whole(used))
        return OleDate::FromParts(y, m, d);
    return OleDate();
}

std::optional<std::string> UnusualDateQuestion(const OleDate& date, const OleDate& now) {
    if (!date.IsValid() || !now.IsValid())
        return std::nullopt;
    if (date.DayNumber() < OleDate::FromParts(1990, 1, 1).DayNumber())
        return Format("Zadané datum %s je před rokem 1990. Opravdu?", date.ToText().c_str());
    OleDate limit = OleDate::FromParts(now.Year() + 1, now.Month(), now.Day());
    if (!limit.IsValid())
        limit = OleDate::FromParts(now.Year() + 1, now.Month(), now.Day() - 1);
    if (date.DayNumber() > limit.DayNumber())
        return Format("Zadané datum %s je více než rok v budoucnosti. Opravdu?",
                      date.ToText().c_str());
    return std::nullopt;
}

} // namespace tarvo
