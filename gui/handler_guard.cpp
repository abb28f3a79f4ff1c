#include "handler_guard.h"

#include <QString>
#include <exception>

#include "dialogs.h"

void run_handler(Dialogs& dialogs, QWidget* owner, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    // The conversion error quotes the text it refused; any other error is
    // shown the same way rather than ending the program.
    dialogs.show_exception(owner, QString::fromUtf8(error.what()));
  }
}
