// Fuzz target: any text as a record template. Parsing either refuses it
// with std::invalid_argument or gives a template that writes and reads a
// few items of every kind in bounded time and memory.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/format.hpp"

namespace {

void write_some(const records::Format& format) {
  const std::vector<std::vector<records::OutValue>> lists = {
      {},
      {std::int32_t{7}},
      {1.5, -2.25e-300, 1.0e300},
      {std::string("text")},
      {std::int32_t{-1}, 0.5, std::string("ab"), std::int32_t{123456}},
  };
  for (const auto& items : lists) {
    try {
      records::write_records(format, items);
    } catch (const std::invalid_argument&) {
      // an item that does not suit its descriptor
    }
  }
}

void read_some(const records::Format& format) {
  std::int32_t i = 0;
  double d = 0.0;
  std::string a(8, ' ');
  const std::vector<records::InTarget> targets = {&i, &d, &a};
  int left = 3;
  const std::function<std::optional<std::string>()> source = [&left]() -> std::optional<std::string> {
    if (left-- == 0) return std::nullopt;
    return std::string("    12    3.5D+01abcdefgh  1.0E-300");
  };
  try {
    records::read_records(format, targets, source);
  } catch (const std::invalid_argument&) {
  } catch (const records::FieldError&) {
  } catch (const records::EndOfInput&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<records::Format> format;
  try {
    format = records::Format::parse(text);
  } catch (const std::invalid_argument&) {
    return 0;
  }
  write_some(*format);
  read_some(*format);
  return 0;
}
