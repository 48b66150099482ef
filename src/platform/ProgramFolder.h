#pragma once

#include <QString>

// The folder of the program's own files (Zorvin.ini, Toolbar.ini, *.lng,
// wallpaper.bmp): the executable's folder when it is writable, so that a copy
// on a stick carries its settings with it; else $XDG_CONFIG_HOME/zorvin/
// (~/.config/zorvin/ when the variable is unset, empty or not absolute),
// created on demand. Paths end with "/".
namespace ProgramFolder {

// The rule itself, with its inputs given: the executable's folder, the value
// of XDG_CONFIG_HOME and the home folder. Creates the configuration folder
// when it is chosen; a folder that cannot be created is still returned, so
// that the first write reports the failure.
QString Choose(const QString& executableFolder, const QString& xdgConfigHome, const QString& home);

// The rule applied to this process (needs a QCoreApplication).
QString Path();

// Path() followed by the file name.
QString FilePath(const QString& name);

} // namespace ProgramFolder
