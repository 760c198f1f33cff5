#include "clock.h"

#include <sys/time.h>

void timeRecordFrom(const std::tm& local, TimeRecord& record)
{
    record.seconds = local.tm_sec;
    record.minutes = local.tm_min;
    record.hours = local.tm_hour;
    record.day = local.tm_mday;
    record.month = local.tm_mon + 1;
    record.year = local.tm_year - 100;
}

void get_time_date(TimeRecord& record)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    timeRecordFrom(local, record);
}
