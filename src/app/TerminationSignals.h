#pragma once

// Turns SIGTERM, SIGINT and SIGHUP into a normal end of the event loop, so
// that the main window is destroyed as at any other exit and the settings
// reach Zorvin.ini. A second signal of the same kind ends the process at
// once, in case saving cannot finish. Call once, after the application
// object exists.
void QuitOnTerminationSignals();
