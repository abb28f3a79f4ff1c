// Fuzz target: any bytes as a costs file and a PSS/E RAW file (the two
// split at the first line "==="; without it, all RAW and no costs), through
// the readers and the DC model. A refusal (NetworkError) is an answer; a
// crash, another exception, a sanitizer report or a hang is a finding, and
// so is a network whose elements point at buses it does not have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "corvo/network/dc_model.hpp"
#include "corvo/network/raw_reader.hpp"

namespace {

void check_network(const corvo::network::Network& net) {
  const auto buses = static_cast<std::int32_t>(net.buses.size());
  for (const auto& g : net.generators)
    if (g.bus < 0 || g.bus >= buses) std::abort();
  for (const auto& b : net.branches)
    if (b.from < 0 || b.from >= buses || b.to < 0 || b.to >= buses) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string_view costs;
  if (const auto split = text.find("===\n"); split != std::string_view::npos) {
    costs = text.substr(0, split);
    text = text.substr(split + 4);
  }
  try {
    corvo::network::RawOptions options;
    if (!costs.empty()) options.costs = corvo::network::read_generator_costs(costs, "fuzz.csv");
    const corvo::network::Network net = corvo::network::read_raw(text, "fuzz.raw", options);
    check_network(net);
    corvo::network::build_dc_model(net);
  } catch (const corvo::network::NetworkError&) {
  }
  return 0;
}
