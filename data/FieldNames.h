#pragma once
// The names of the stored fields the program's rules look up. The table layouts are built from
// these same names, so a field renamed or dropped in a layout fails to compile where a rule
// looks it up, instead of failing in front of a clerk.
#include <QString>

namespace fld {

inline const QString ADDSPECIALTY = QStringLiteral("ADDSPECIALTY");
inline const QString ADRESS = QStringLiteral("ADRESS");
inline const QString BANK = QStringLiteral("BANK");
inline const QString BIK = QStringLiteral("BIK");
inline const QString Boss = QStringLiteral("Boss");
inline const QString Contingent = QStringLiteral("Contingent");
inline const QString DateCl = QStringLiteral("DateCl");
inline const QString DateCL = QStringLiteral("DateCL");
inline const QString DR = QStringLiteral("DR");
inline const QString EMAIL = QStringLiteral("EMAIL");
inline const QString FOBUCH = QStringLiteral("FOBUCH");
inline const QString Hours = QStringLiteral("Hours");
inline const QString INN = QStringLiteral("INN");
inline const QString KDoljn = QStringLiteral("KDoljn");
inline const QString Kod_Personal = QStringLiteral("Kod_Personal");
inline const QString KodPersonal = QStringLiteral("KodPersonal");
inline const QString KPP = QStringLiteral("KPP");
inline const QString KSpez = QStringLiteral("KSpez");
inline const QString KV = QStringLiteral("KV");
inline const QString KZajavki = QStringLiteral("KZajavki");
inline const QString KZicl = QStringLiteral("KZicl");
inline const QString LCH = QStringLiteral("LCH");
inline const QString Name = QStringLiteral("Name");
inline const QString Name1 = QStringLiteral("Name1");
inline const QString Name2 = QStringLiteral("Name2");
inline const QString Name3 = QStringLiteral("Name3");
inline const QString NDoljn = QStringLiteral("NDoljn");
inline const QString NLPU = QStringLiteral("NLPU");
inline const QString NPP = QStringLiteral("NPP");
inline const QString NSpez = QStringLiteral("NSpez");
inline const QString NZicl = QStringLiteral("NZicl");
inline const QString PersonalKOD = QStringLiteral("PersonalKOD");
inline const QString Phone = QStringLiteral("Phone");
inline const QString PR = QStringLiteral("PR");
inline const QString RCH = QStringLiteral("RCH");
inline const QString RealZicl = QStringLiteral("RealZicl");
inline const QString SNILS = QStringLiteral("SNILS");
inline const QString Specialty = QStringLiteral("Specialty");
inline const QString SPECIALY = QStringLiteral("SPECIALY");
inline const QString StajDoljn = QStringLiteral("StajDoljn");
inline const QString StajOb = QStringLiteral("StajOb");
inline const QString TypeOb = QStringLiteral("TypeOb");
inline const QString User = QStringLiteral("User");
inline const QString VidOb = QStringLiteral("VidOb");
inline const QString Year = QStringLiteral("Year");

} // namespace fld
