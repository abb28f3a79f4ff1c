// recordtool: tries one record template by hand.
//
//   recordtool write TEMPLATE ITEM...   ITEM is i:INTEGER, r:REAL or a:TEXT
//   recordtool read TEMPLATE KIND...    KIND is i, r or aN (text of length N)
//
// `write` writes one statement to standard output under the console rules.
// `read` reads one statement from standard input and prints one value per
// line: integers in decimal, reals with 17 significant digits, texts
// between square brackets.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.hpp"

namespace {

constexpr int kUsageStatus = 64;

int usage(const std::string& problem) {
  std::cerr << "recordtool: " << problem << "\n"
            << "usage: recordtool write TEMPLATE [i:INTEGER | r:REAL | a:TEXT]...\n"
            << "       recordtool read TEMPLATE [i | r | aN]...\n";
  return kUsageStatus;
}

template <class T>
std::optional<T> parse_number(std::string_view text) {
  T value{};
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

int run_write(std::string_view tmpl, const std::vector<std::string_view>& args) {
  std::vector<records::OutValue> items;
  for (std::string_view arg : args) {
    if (arg.size() < 2 || arg[1] != ':') return usage("bad item '" + std::string(arg) + "'");
    std::string_view value = arg.substr(2);
    switch (arg[0]) {
      case 'i':
        if (auto v = parse_number<std::int32_t>(value)) {
          items.emplace_back(*v);
          continue;
        }
        return usage("bad integer '" + std::string(value) + "'");
      case 'r':
        if (auto v = parse_number<double>(value)) {
          items.emplace_back(*v);
          continue;
        }
        return usage("bad real '" + std::string(value) + "'");
      case 'a':
        items.emplace_back(std::string(value));
        continue;
      default:
        return usage("bad item '" + std::string(arg) + "'");
    }
  }
  return records::run_program([&](records::Records& io) {
    io.format(tmpl);  // a bad template is reported before anything is written
    io.write_items(records::kConsole, tmpl, items);
  });
}

int run_read(std::string_view tmpl, const std::vector<std::string_view>& kinds) {
  std::vector<std::int32_t> integers(kinds.size());
  std::vector<double> reals(kinds.size());
  std::vector<std::string> texts(kinds.size());
  std::vector<records::InTarget> targets;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    std::string_view kind = kinds[i];
    if (kind == "i") {
      targets.emplace_back(&integers[i]);
    } else if (kind == "r") {
      targets.emplace_back(&reals[i]);
    } else if (kind.size() > 1 && kind[0] == 'a') {
      auto length = parse_number<std::size_t>(kind.substr(1));
      if (!length || *length > 100000) return usage("bad text kind '" + std::string(kind) + "'");
      texts[i].assign(*length, ' ');
      targets.emplace_back(&texts[i]);
    } else {
      return usage("bad kind '" + std::string(kind) + "'");
    }
  }
  return records::run_program([&](records::Records& io) {
    io.read_items(records::kConsole, tmpl, targets);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (kinds[i] == "i") {
        std::cout << integers[i] << '\n';
      } else if (kinds[i] == "r") {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", reals[i]);
        std::cout << buf << '\n';
      } else {
        std::cout << '[' << texts[i] << "]\n";
      }
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage("missing arguments");
  std::string_view mode = argv[1];
  std::string_view tmpl = argv[2];
  std::vector<std::string_view> rest(argv + 3, argv + argc);
  try {
    if (mode == "write") return run_write(tmpl, rest);
    if (mode == "read") return run_read(tmpl, rest);
  } catch (const std::invalid_argument& e) {
    return usage(e.what());
  }
  return usage("the first argument must be write or read");
}
