#pragma once

#include <QString>
#include <QStringList>

// The delimited text form of a name list whose quote character is the space
// (Susie/DisableSPIs, delimiter ";").
//
// Reading splits at the delimiter and at every run of blanks or control
// characters; because the quote character is itself a blank, no quoting is
// recognised. A delimiter at the very end adds one empty name, and two
// delimiters in a row give an empty name between them. Text after a NUL is
// ignored.
QStringList ReadDelimitedText(const QString& text, QChar delimiter);

// Writing joins the names with the delimiter; a name holding a blank, a
// control character or the delimiter is written enclosed in single spaces
// with every space inside it doubled; a list of one empty name is written as
// two spaces. A name with a blank therefore does not read back as one name:
// the form is kept as it is for the files already written with it.
QString WriteDelimitedText(const QStringList& names, QChar delimiter);
