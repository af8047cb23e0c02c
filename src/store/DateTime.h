#pragma once

#include <string>

namespace tarvex {

// A date and time as the toolkit's date serial: days since 30 December 1899,
// the time of day as the fraction. Arithmetic in hours crosses midnight,
// month and year ends by itself.
struct DateTime {
    double serial = 0.0;

    static DateTime FromParts(int year, int month, int day, int hour = 0, int minute = 0);
    // True when the parts name a real calendar date and time.
    static bool ValidParts(int year, int month, int day, int hour, int minute = 0);

    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Weekday() const; // 0 Sunday .. 6 Saturday

    DateTime AddHours(double hours) const { return DateTime{serial + hours / 24.0}; }
    // Whole hours from earlier to this time (negative when earlier is later).
    long HoursAfter(const DateTime& earlier) const;
    bool operator==(const DateTime&) const = default;
};

} // namespace tarvex
