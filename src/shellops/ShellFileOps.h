#pragma once

#include <QString>

// Silent one-file operations on the user's files.

// Moves the file to the user's trash (freedesktop Trash: restorable from a
// file manager, with its .trashinfo). Never deletes outright. True on success.
bool ShellDeleteFile(const QString& path);
