#pragma once
// Years of service of a person without a start year are computed as the start-up year minus an
// empty year, that is the year itself (2026), and trainee rows keep that number as the training
// centre receives it. What a user reads shows no years instead: nobody has served 1900 years.
inline bool serviceYearsUnknown(double years) { return years >= 1900; }
