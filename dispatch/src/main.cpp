#include "dispatch/orsa.hpp"

int main() {
  return records::run_program([](records::Records& io) { dispatch::run_orsa(io); });
}
