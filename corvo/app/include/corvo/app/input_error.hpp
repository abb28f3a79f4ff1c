// Input that corvo cannot use: a missing or unreadable file, a file that
// does not match the case. The message names the file and what is wrong;
// the program ends with exit status 2.
#pragma once

#include <stdexcept>

namespace corvo::app {

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace corvo::app
