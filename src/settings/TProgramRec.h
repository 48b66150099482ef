#pragma once

#include <QString>

// One registered external program. A record with an empty Path is not
// registered. Its text form in Zorvin.ini is
// Name + "<>" + Path + "<>" + Param + "<>" + "TRUE" or "FALSE".
struct TProgramRec {
    QString Name;
    QString Path;
    QString Param; // "%File%" stands for the quoted path of the current image
    bool ExitAfterExecute = false;

    bool Registered() const { return !Path.isEmpty(); }
};

inline constexpr int ProgramCount = 10;
