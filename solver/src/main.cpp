// talven: solves the quadratic program in "orsa.ip" of the working
// directory. Takes no arguments.
#include "records/records.hpp"
#include "talven/driver.hpp"

int main() {
  return records::run_program([](records::Records& io) { talven::talven_program(io, {}); });
}
