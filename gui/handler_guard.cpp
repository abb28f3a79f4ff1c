#include "handler_guard.h"

#include <QString>
#include <exception>

#include "corvo/dispatch_case_conversion.hpp"
#include "corvo/number_conversion.hpp"
#include "dialogs.h"

void run_handler(Dialogs& dialogs, QWidget* owner, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const corvo::PlacedConversionError& error) {
    dialogs.show_field_error(owner, QString::fromStdString(error.place()), QString::fromUtf8(error.what()));
  } catch (const corvo::CaseCheckError& error) {
    dialogs.show_field_error(owner, QString::fromStdString(error.place()),
                             QString::fromStdString(error.problem()));
  } catch (const std::exception& error) {
    // The conversion error quotes the text it refused; any other error is
    // shown the same way rather than ending the program.
    dialogs.show_exception(owner, QString::fromUtf8(error.what()));
  }
}
