#pragma once
// Years of service of a person without a start year are none; earlier builds counted them as the
// start-up year minus an empty year, that is the year itself (2026), and trainee rows and export
// files of those builds keep that number. What a user reads shows no years instead: nobody has
// served 1900 years.
inline bool serviceYearsUnknown(double years) {
    return years >= 1900;
}
