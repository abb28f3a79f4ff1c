// Runs an event handler so that an error escaping it is shown in the
// standard error box and the message loop goes on.
#pragma once

#include <functional>

class Dialogs;
class QWidget;

void run_handler(Dialogs& dialogs, QWidget* owner, const std::function<void()>& handler);
