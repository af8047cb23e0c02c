#include "store/DateTime.h"

#include <cmath>

namespace tarvex {

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian calendar).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

struct Civil {
    long y;
    unsigned m, d;
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
    return {y + (m <= 2 ? 1 : 0), m, d};
}

constexpr long kSerialEpochOffset = 25569; // 1899-12-30 to 1970-01-01 in days

// Whole minutes since the serial epoch, rounded so that hour arithmetic in
// floating point never lands a minute short.
long TotalMinutes(double serial) {
    return std::lround(serial * 1440.0);
}

long DayNumber(double serial) {
    const long minutes = TotalMinutes(serial);
    return (minutes >= 0 ? minutes : minutes - 1439) / 1440;
}

Civil CivilOf(double serial) {
    return CivilFromDays(DayNumber(serial) - kSerialEpochOffset);
}

} // namespace

DateTime DateTime::FromParts(int year, int month, int day, int hour, int minute) {
    const long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kSerialEpochOffset;
    return DateTime{static_cast<double>(days) + (hour * 60 + minute) / 1440.0};
}

bool DateTime::ValidParts(int year, int month, int day, int hour, int minute) {
    if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

int DateTime::Year() const {
    return static_cast<int>(CivilOf(serial).y);
}
int DateTime::Month() const {
    return static_cast<int>(CivilOf(serial).m);
}
int DateTime::Day() const {
    return static_cast<int>(CivilOf(serial).d);
}

int DateTime::Hour() const {
    const long minutes = TotalMinutes(serial) - DayNumber(serial) * 1440;
    return static_cast<int>(minutes / 60);
}

int DateTime::Minute() const {
    const long minutes = TotalMinutes(serial) - DayNumber(serial) * 1440;
    return static_cast<int>(minutes % 60);
}

long DateTime::HoursAfter(const DateTime& earlier) const {
    return static_cast<long>(std::lround((serial - earlier.serial) * 24.0));
}

int DateTime::Weekday() const {
    // 1899-12-30 was a Saturday.
    const long d = DayNumber(serial);
    return static_cast<int>(((d % 7) + 7 + 6) % 7);
}

} // namespace tarvex
