#pragma once

#include <QSize>

// The size of the X display's default screen, read over a short connection
// of its own before the toolkit has connected, so that work which depends on
// it (the start file's decode scale) can begin that much earlier. An empty
// size when there is no X display or it cannot be reached.
//
// With several monitors this is the whole desktop, which may differ from the
// primary screen the toolkit reports later; callers compare the two and fall
// back to the toolkit's value.
QSize EarlyScreenSize();
