#pragma once

// Tests that need an application object (timers, fonts, pixmaps) call this
// first; it makes one QGuiApplication for the whole run. Runs offscreen
// unless QT_QPA_PLATFORM says otherwise.
void EnsureGuiApp();
