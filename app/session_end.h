#pragma once

class QWidget;

namespace kvel {

// From now on SIGTERM, SIGHUP and SIGINT (Ctrl-C) end the session as the user would: every
// modal box or dialog is closed first (their own event loops would keep the process alive),
// then `window`, whose closing stores the settings.
void closeOnTermination(QWidget& window);

// One step of that ending: closes the modal box or dialog on top, or, when none is left, the
// window. It looks again after each box, as the code after one may open another.
void endSession(QWidget* window);

// True once a signal asked the session to end: no new message box may then hold it up.
bool sessionEnding();

}  // namespace kvel
