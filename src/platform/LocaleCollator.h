#pragma once

#include <QByteArray>
#include <QString>

// Compares file names the way the user's locale orders them (ICU collation of
// the default locale). Each thread gets its own collator, so calls are safe
// from the main thread and the loader at once.
namespace LocaleCollator {

// A key whose byte order is the locale's order of names: case-sensitive, not
// numeric ("img10" before "img2"). Sorting many names by their keys costs one
// collation per name instead of one per comparison.
QByteArray SortKey(const QString& name);

// Equal without regard to case (used for name lookups in the list).
bool EqualsIgnoreCase(const QString& a, const QString& b);

} // namespace LocaleCollator
