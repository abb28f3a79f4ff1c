#include "dispatch/network_lists.hpp"

namespace dispatch {

NetworkLists build_network_lists(std::int32_t n, std::span<const std::int32_t> se,
                                 std::span<const std::int32_t> re) {
  NetworkLists lists;
  lists.xadjcy.reserve(static_cast<std::size_t>(n) + 1);
  // k and p are the next adjacency and incidence positions (1-based).
  auto next_k = [&] { return static_cast<std::int32_t>(lists.adjcy.size()) + 1; };
  auto next_p = [&] { return static_cast<std::int32_t>(lists.incd.size()) + 1; };

  for (std::int32_t i = 1; i <= n; ++i) {
    lists.xadjcy.push_back(next_k());
    lists.xincd.push_back(next_p());
    lists.adjcy.push_back(i);

    std::int32_t last_neighbour = 0;
    for (std::size_t l = 0; l < se.size(); ++l) {
      std::int32_t far_end = 0;
      if (se[l] == i) {
        far_end = re[l];
      } else if (re[l] == i) {
        far_end = se[l];
      } else {
        continue;
      }
      if (far_end != last_neighbour) {
        lists.xincd.push_back(next_p());
        lists.adjcy.push_back(far_end);
        last_neighbour = far_end;
      }
      lists.incd.push_back(static_cast<std::int32_t>(l) + 1);
    }
  }
  lists.xadjcy.push_back(next_k());
  lists.xincd.push_back(next_p());
  return lists;
}

std::int32_t first_isolated_bus(const NetworkLists& lists, std::int32_t n) {
  for (std::int32_t i = 1; i <= n; ++i) {
    if (lists.xadjcy_at(i + 1) - 1 < lists.xadjcy_at(i) + 1) return i;
  }
  return 0;
}

}  // namespace dispatch
