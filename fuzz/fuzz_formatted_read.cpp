// Fuzz target: the first line of the input is a record template, the
// other lines are the records that one read statement takes. Every field
// descriptor of the template gets a destination of its kind, so the
// conversions of integers, reals and texts all see the records' text.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/format.hpp"

namespace {

using Kind = records::Element::Kind;

struct Destinations {
  std::deque<std::int32_t> integers;
  std::deque<double> reals;
  std::deque<std::string> texts;
  std::vector<records::InTarget> targets;
};

// One destination per field descriptor, groups walked once, at most 64.
void add_targets(const std::vector<records::Element>& elements, Destinations& d) {
  for (const records::Element& e : elements) {
    if (d.targets.size() >= 64) return;
    if (e.kind == Kind::Group) {
      add_targets(e.children, d);
    } else if (e.kind == Kind::Integer) {
      d.targets.emplace_back(&d.integers.emplace_back(0));
    } else if (e.kind == Kind::Fixed || e.kind == Kind::Exponent) {
      d.targets.emplace_back(&d.reals.emplace_back(0.0));
    } else if (e.kind == Kind::Text) {
      d.targets.emplace_back(&d.texts.emplace_back(14, ' '));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t end = input.find('\n');
  if (end == std::string_view::npos) return 0;
  std::optional<records::Format> format;
  try {
    format = records::Format::parse(input.substr(0, end));
  } catch (const std::invalid_argument&) {
    return 0;
  }
  Destinations d;
  add_targets(format->elements(), d);
  std::size_t at = end + 1;
  const std::function<std::optional<std::string>()> source = [&]() -> std::optional<std::string> {
    if (at >= input.size()) return std::nullopt;
    std::size_t next = input.find('\n', at);
    if (next == std::string_view::npos) next = input.size();
    std::string record(input.substr(at, next - at));
    at = next + 1;
    return record;
  };
  try {
    records::read_records(*format, d.targets, source);
  } catch (const records::FieldError&) {
  } catch (const records::EndOfInput&) {
  } catch (const std::invalid_argument&) {
    // a field met a destination of another kind (a group walked again);
    // the record layer reports that as a run-time error
  }
  return 0;
}
