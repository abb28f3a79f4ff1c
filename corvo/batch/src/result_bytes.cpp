#include "corvo/batch/result_bytes.hpp"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace corvo::batch {
namespace {

class Writer {
 public:
  template <class T>
  void value(const T& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    out_.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void text(const std::string& s) {
    value(static_cast<std::uint64_t>(s.size()));
    out_ += s;
  }
  template <class T>
  void values(const std::vector<T>& v) {
    value(static_cast<std::uint64_t>(v.size()));
    if (!v.empty()) out_.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
  }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  template <class T>
  void value(T& v) {
    need(sizeof v);
    std::memcpy(&v, in_.data() + at_, sizeof v);
    at_ += sizeof v;
  }
  void text(std::string& s) {
    const std::size_t n = count(1);
    s.assign(in_.data() + at_, n);
    at_ += n;
  }
  template <class T>
  void values(std::vector<T>& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    const std::size_t n = count(sizeof(T));
    v.resize(n);
    if (n > 0) std::memcpy(v.data(), in_.data() + at_, n * sizeof(T));
    at_ += n * sizeof(T);
  }
  void finish() const {
    if (at_ != in_.size()) throw std::runtime_error("a scenario's result: bytes left over");
  }

 private:
  // A count of items of `size` bytes that the rest of the input can hold.
  std::size_t count(std::size_t size) {
    std::uint64_t n = 0;
    value(n);
    if (n > (in_.size() - at_) / size) throw std::runtime_error("a scenario's result: cut short");
    return static_cast<std::size_t>(n);
  }
  void need(std::size_t n) const {
    if (in_.size() - at_ < n) throw std::runtime_error("a scenario's result: cut short");
  }
  std::string_view in_;
  std::size_t at_ = 0;
};

static_assert(std::is_trivially_copyable_v<BusValues> && std::is_trivially_copyable_v<GeneratorValues> &&
              std::is_trivially_copyable_v<LineValues>);

}  // namespace

std::string to_bytes(const ScenarioResult& r) {
  Writer w;
  w.text(r.scenario);
  w.value(r.status);
  w.value(r.optimal);
  w.value(r.cost);
  w.value(r.cost_with_constant);
  w.value(r.iterations);
  w.value(r.seconds);
  w.text(r.reason);
  w.values(r.buses);
  w.values(r.generators);
  w.values(r.lines);
  w.value(static_cast<std::uint64_t>(r.relaxation.size()));
  for (const report::RelaxationRow& x : r.relaxation) {
    w.text(x.element);
    w.text(x.what);
    w.value(x.amount);
    w.text(x.unit);
  }
  return w.take();
}

ScenarioResult from_bytes(std::string_view bytes) {
  Reader rd(bytes);
  ScenarioResult r;
  rd.text(r.scenario);
  rd.value(r.status);
  rd.value(r.optimal);
  rd.value(r.cost);
  rd.value(r.cost_with_constant);
  rd.value(r.iterations);
  rd.value(r.seconds);
  rd.text(r.reason);
  rd.values(r.buses);
  rd.values(r.generators);
  rd.values(r.lines);
  std::uint64_t relaxations = 0;
  rd.value(relaxations);
  if (relaxations > bytes.size()) throw std::runtime_error("a scenario's result: cut short");
  r.relaxation.resize(static_cast<std::size_t>(relaxations));
  for (report::RelaxationRow& x : r.relaxation) {
    rd.text(x.element);
    rd.text(x.what);
    rd.value(x.amount);
    rd.text(x.unit);
  }
  rd.finish();
  return r;
}

}  // namespace corvo::batch
