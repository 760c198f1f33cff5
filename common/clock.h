// Local date and time as the small integers the catalog time stamps need.
#pragma once

#include <cstdint>
#include <ctime>

struct TimeRecord {
    int32_t seconds; // 0-60
    int32_t minutes; // 0-59
    int32_t hours;   // 0-23
    int32_t day;     // 1-31
    int32_t month;   // 1-12
    int32_t year;    // year minus 2000
};

// Fills record from a broken-down local time.
void timeRecordFrom(const std::tm& local, TimeRecord& record);

// Fills record with the current local time.
void get_time_date(TimeRecord& record);
