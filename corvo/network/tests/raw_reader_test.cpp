// The RAW reader on hand-written files (tests/data/raw): every record kind,
// in and out of service, checked field by field against the network derived
// by hand from the records (each file's MATPOWER twin NAME.m beside it holds
// the same network and says how each value was derived). Then the refusals:
// each names the file, the line, the kind of record and the field.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "corvo/network/raw_reader.hpp"

namespace corvo::network {
namespace {

const std::string kData = CORVO_RAW_TEST_DATA;

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Network read_data(const std::string& name) {
  RawOptions options;
  options.costs = read_generator_costs_file(kData + "/" + name + ".costs.csv");
  return read_raw_file(kData + "/" + name + ".raw", options);
}

struct ExpectedBus {
  std::int64_t number;
  const char* name;
  double load_mw;
  double shunt_mw;
  double angle_deg;
  bool reference;
  bool in_service;
};

struct ExpectedGenerator {
  std::int64_t bus;
  std::int64_t row;
  const char* id;
  double pmin_mw;
  double pmax_mw;
  bool in_service;
  double c2, c1, c0;
};

struct ExpectedBranch {
  std::int64_t from;
  std::int64_t to;
  std::int64_t row;
  const char* id;
  double x_pu;
  double tap;
  double shift_deg;
  double rating_mva;  // 0: no limit
  bool in_service;
};

// Reactances and ratios come out of a few multiplications and divisions:
// equal to the hand value up to rounding.
constexpr double kRelative = 1e-13;

void expect_network(const Network& network, const std::vector<ExpectedBus>& buses,
                    const std::vector<ExpectedGenerator>& generators, const std::vector<ExpectedBranch>& branches) {
  ASSERT_EQ(network.buses.size(), buses.size());
  for (std::size_t b = 0; b < buses.size(); ++b) {
    const Bus& bus = network.buses[b];
    SCOPED_TRACE("bus " + std::to_string(buses[b].number));
    EXPECT_EQ(bus.number, buses[b].number);
    EXPECT_EQ(bus.name, buses[b].name);
    EXPECT_DOUBLE_EQ(bus.load_mw, buses[b].load_mw);
    EXPECT_DOUBLE_EQ(bus.shunt_mw, buses[b].shunt_mw);
    EXPECT_EQ(bus.angle_deg, buses[b].angle_deg);
    EXPECT_EQ(bus.reference, buses[b].reference);
    EXPECT_EQ(bus.in_service, buses[b].in_service);
  }
  ASSERT_EQ(network.generators.size(), generators.size());
  for (std::size_t g = 0; g < generators.size(); ++g) {
    const Generator& gen = network.generators[g];
    const ExpectedGenerator& want = generators[g];
    SCOPED_TRACE("generator " + std::to_string(g + 1));
    EXPECT_EQ(network.buses[static_cast<std::size_t>(gen.bus)].number, want.bus);
    EXPECT_EQ(gen.source.row, want.row);
    EXPECT_EQ(gen.source.id, want.id);
    EXPECT_EQ(gen.pmin_mw, want.pmin_mw);
    EXPECT_EQ(gen.pmax_mw, want.pmax_mw);
    EXPECT_EQ(gen.in_service, want.in_service);
    EXPECT_EQ(gen.cost.model, CostCurve::Model::polynomial);
    EXPECT_EQ(gen.cost.c2, want.c2);
    EXPECT_EQ(gen.cost.c1, want.c1);
    EXPECT_EQ(gen.cost.c0, want.c0);
  }
  ASSERT_EQ(network.branches.size(), branches.size());
  for (std::size_t k = 0; k < branches.size(); ++k) {
    const Branch& branch = network.branches[k];
    const ExpectedBranch& want = branches[k];
    SCOPED_TRACE("branch " + std::to_string(k + 1) + " (" + std::to_string(want.from) + "-" +
                 std::to_string(want.to) + " '" + want.id + "')");
    EXPECT_EQ(network.buses[static_cast<std::size_t>(branch.from)].number, want.from);
    EXPECT_EQ(network.buses[static_cast<std::size_t>(branch.to)].number, want.to);
    EXPECT_EQ(branch.source.row, want.row);
    EXPECT_EQ(branch.source.id, want.id);
    EXPECT_NEAR(branch.x_pu, want.x_pu, kRelative * std::abs(want.x_pu));
    EXPECT_NEAR(branch.tap, want.tap, kRelative);
    EXPECT_EQ(branch.shift_deg, want.shift_deg);
    EXPECT_EQ(branch.flow_max_mw, want.rating_mva > 0 ? want.rating_mva : kUnlimited);
    EXPECT_EQ(branch.flow_min_mw, want.rating_mva > 0 ? -want.rating_mva : -kUnlimited);
    EXPECT_EQ(branch.angle_min_deg, -kUnlimited);
    EXPECT_EQ(branch.angle_max_deg, kUnlimited);
    EXPECT_EQ(branch.in_service, want.in_service);
  }
}

TEST(RawHandWritten, Version33NonTransformerRecords) {
  const Network network = read_data("v33_elements");
  EXPECT_EQ(network.name, "v33_elements");
  EXPECT_EQ(network.format, SourceFormat::psse_raw);
  EXPECT_EQ(network.base_mva, 100.0);
  EXPECT_EQ(network.title,
            "Every non-transformer record kind, in and out of service / with defaults, empty fields, comments and "
            "quoted names");
  expect_network(
      network,
      {
          // Names keep their commas, slashes and double quotes.
          {1, "ALPHA, 1/2", 0.0, 0.0, 10.0, true, true},
          // Loads 40 + 25.5 add up; GI 0.005 x 100 MVA of branch 2-3.
          {2, "BETA / \"B\"", 65.5, 0.5, -2.0, false, true},
          // The 30 MW load is out of service; 60 MW without its IP and YP;
          // shunts 3 + 1.5 and GJ 0.015 x 100 MVA.
          {3, "GAMMA", 60.0, 6.0, 0.0, false, true},
          // IDE 4: out of service, its load kept for the DC model to drop.
          {4, "DELTA", 12.0, 0.0, 0.0, false, false},
          // Load with empty STATUS (default 1); its shunt out of service.
          {5, "EPSILON", 8.0, 0.0, 0.0, false, true},
      },
      {
          {1, 1, "1", 0.0, 200.0, true, 0.01, 20.0, 100.0},
          {1, 2, "2", -30.0, 50.0, true, 0.02, 25.0, 0.0},
          // Out of service and on the isolated bus: no cost row needed.
          {2, 3, "A", 5.0, 60.0, false, 0.0, 0.0, 0.0},
          // PSS/E's defaults: STAT 1, PT 9999, PB -9999.
          {2, 4, "B", -9999.0, 9999.0, true, 0.0, 30.0, 5.0},
          {4, 5, "1", 0.0, 70.0, true, 0.0, 0.0, 0.0},
      },
      {
          {1, 2, 1, "1", 0.1, 1.0, 0.0, 100.0, true},  // RATEA, not RATEB or RATEC
          {1, 3, 2, "1", 0.25, 1.0, 0.0, 0.0, true},   // RATEA 0: no limit
          {2, 3, 3, "2", 0.2, 1.0, 0.0, 80.0, true},   // J = -3: metered at bus 3
          {3, 5, 4, "1", 0.05, 1.0, 0.0, 50.0, false},
          {3, 4, 5, "1", 0.05, 1.0, 0.0, 50.0, true},
          {2, 5, 6, "1", 0.4, 1.0, 0.0, 0.0, true},
      });
  const std::vector<std::string> notes = {
      "transformer impedance correction data: 1 record skipped (the DC model takes each transformer's impedance as "
      "written)",
      "switched shunt data: 2 records ignored (they hold reactive susceptance only, which the DC model does not use)",
      "load data: the constant-current (IP) and constant-admittance (YP) parts of 1 load left out; only the constant "
      "power PL is used",
      "non-transformer branch data: the end conductances GI and GJ of 1 branch added to the shunts of their buses, "
      "as psse2mpc adds them",
  };
  EXPECT_EQ(network.notes, notes);
}

TEST(RawHandWritten, TwoWindingTransformersOfEveryCode) {
  const Network network = read_data("v33_two_winding");
  ASSERT_EQ(network.buses.size(), 5u);
  EXPECT_TRUE(network.notes.empty());
  expect_network(network,
                 {
                     {1, "HV 230", 0.0, 0.0, 0.0, true, true},
                     {2, "MV 115 A", 50.0, 0.0, 0.0, false, true},
                     {3, "MV 115 B", 30.0, 0.0, 0.0, false, true},
                     {4, "LV 13.8", 20.0, 0.0, 0.0, false, true},
                     {5, "NO BASE KV", 10.0, 0.0, 0.0, false, true},
                 },
                 {{1, 1, "1", 0.0, 300.0, true, 0.01, 15.0, 0.0}},
                 {
                     // CW 1, CZ 1: as written; WINDV2 1.
                     {1, 2, 1, "1", 0.1, 1.05, 0.0, 0.0, true},
                     // CZ 2: 0.05 pu on 50 MVA and 230 kV is 0.1 on 100 MVA;
                     // CW 2: (236.9 kV / 115 kV) x (115 kV / 230 kV).
                     {1, 2, 2, "2", 0.05 * (230.0 * 230.0 / 50.0) / (230.0 * 230.0 / 100.0),
                      236.9 / 115.0 * 115.0 / 230.0, 30.0, 90.0, true},
                     // CZ 3: R = 300 kW / 100 MVA = 0.003 pu, X = sqrt(0.005² - 0.003²)
                     // = 0.004 on 220 kV, moved to the 230 kV bus base;
                     // CW 3: 1.05 x (115/230) x (220 kV / 110 kV).
                     {1, 3, 3, "1", 0.004 * (220.0 * 220.0 / 100.0) / (230.0 * 230.0 / 100.0),
                      1.05 * 115.0 / 230.0 * 220.0 / 110.0, 0.0, 0.0, true},
                     // CW 2 to 13.8 kV: (120.75 / 13.8) x (13.8 / 115).
                     {2, 4, 4, "1", 0.08, 120.75 / 13.8 * 13.8 / 115.0, 0.0, 40.0, true},
                     // CZ 2 with NOMV1 0 (= 115 kV): only the MVA base changes, x 100/25.
                     {3, 4, 5, "1", 0.08, 0.975, 0.0, 0.0, false},
                     // No bus base voltage: only the MVA base changes, x 100/200.
                     {5, 4, 6, "1", 0.05, 1.0, -10.0, 0.0, true},
                 });
}

TEST(RawHandWritten, ThreeWindingTransformersThroughStarBuses) {
  const Network network = read_data("v33_three_winding");
  // Largest bus 4: star buses 10 + 1 .. 10 + 5, the star angle from ANSTAR,
  // isolated when the whole transformer is out of service.
  const double x23_b = 0.0008 * (132.0 * 132.0 / 100.0) / (138.0 * 138.0 / 100.0);
  expect_network(
      network,
      {
          {1, "EHV 345", 0.0, 0.0, 0.0, true, true},
          {2, "HV 138", 80.0, 0.0, 0.0, false, true},
          {3, "LV 13.8", 20.0, 0.0, 0.0, false, true},
          {4, "HV 138 B", 40.0, 0.0, 0.0, false, true},
          {11, "star point of 1-2-3 'A'", 0.0, 0.0, -2.0, false, true},
          {12, "star point of 1-4-3 'B'", 0.0, 0.0, 0.5, false, true},
          {13, "star point of 2-4-1 'C'", 0.0, 0.0, 0.0, false, true},
          {14, "star point of 3-2-4 'D'", 0.0, 0.0, 0.0, false, true},
          {15, "star point of 1-2-3 'E'", 0.0, 0.0, 0.0, false, false},
      },
      {{1, 1, "1", 0.0, 300.0, true, 0.02, 12.0, 0.0}},
      {
          // The line first, then each transformer's windings 1, 2, 3.
          {2, 4, 1, "1", 0.1, 1.0, 0.0, 0.0, true},
          // 'A' CZ 2: x12 = 0.1 x 100/200 = 0.05, x23 = 0.05 x 100/50 = 0.1,
          // x31 = 0.08; star (x12 + x31 - x23)/2 and so on. CW 2: WINDV / bus kV.
          {1, 11, 1, "A", (0.05 + 0.08 - 0.1) / 2, 355.35 / 345.0, 0.0, 300.0, true},
          {2, 11, 1, "A", (0.05 + 0.1 - 0.08) / 2, 1.0, 0.0, 200.0, true},
          {3, 11, 1, "A", (0.08 + 0.1 - 0.05) / 2, 13.455 / 13.8, 0.0, 50.0, true},
          // 'B' CZ 3: x12 = sqrt(0.0025² - 0.002²) = 0.0015, x23 = 0.0008 on
          // 132 kV moved to 138 kV, x31 = 0.003. CW 3: 1.0 pu of 132 kV on a
          // 138 kV bus. STAT 2: winding 2 out.
          {1, 12, 2, "B", (0.0015 + 0.003 - x23_b) / 2, 1.02, 15.0, 0.0, true},
          {4, 12, 2, "B", (0.0015 + x23_b - 0.003) / 2, 132.0 / 138.0, 0.0, 0.0, false},
          {3, 12, 2, "B", (0.003 + x23_b - 0.0015) / 2, 1.0, 0.0, 0.0, true},
          // 'C' STAT 3: winding 3 out; (0.2 + 0.25 - 0.5)/2 is negative.
          {2, 13, 3, "C", 0.225, 1.0, 0.0, 0.0, true},
          {4, 13, 3, "C", -0.025, 1.0, 0.0, 0.0, true},
          {1, 13, 3, "C", 0.275, 1.0, 0.0, 0.0, false},
          // 'D' STAT 4: winding 1 out.
          {3, 14, 4, "D", 0.05, 1.0, 0.0, 0.0, false},
          {2, 14, 4, "D", 0.05, 1.0, 0.0, 0.0, true},
          {4, 14, 4, "D", 0.05, 1.0, 0.0, 0.0, true},
          // 'E' STAT 0: all out.
          {1, 15, 5, "E", 0.05, 1.0, 0.0, 0.0, false},
          {2, 15, 5, "E", 0.05, 1.0, 0.0, 0.0, false},
          {3, 15, 5, "E", 0.05, 1.0, 0.0, 0.0, false},
      });
  ASSERT_EQ(network.notes.size(), 1u);
  EXPECT_EQ(network.notes[0],
            "three-winding transformers: star buses 11 to 15 added, one per transformer in file order, each joined "
            "to its three winding buses");
}

TEST(RawHandWritten, Version35Layout) {
  const Network network = read_data("v35_network");
  expect_network(
      network,
      {
          {10, "NORTH, 1/A", 0.0, 0.0, 5.0, true, true},
          {20, "SOUTH", 150.0, 1.0, 0.0, false, true},  // loads 100 + 50; GI 0.01 x 100
          {30, "EAST", 0.0, 7.0, 0.0, false, true},     // load out; GL 5 + GJ 0.02 x 100
          {40, "WEST", 80.0, 0.0, 0.0, false, true},    // shunt out of service
          {50, "ISLAND", 0.0, 0.0, 0.0, false, false},
          {101, "star point of 20-30-40 'T3'", 0.0, 0.0, -1.5, false, true},  // 10^ceil(log10(51)) + 1
      },
      {
          // Version 35: STAT, PT and PB one field later (NREG after IREG,
          // BASLOD after PB).
          {10, 1, "1", 10.0, 250.0, true, 0.01, 20.0, 0.0},
          {10, 2, "G2", -20.0, 120.0, true, 0.02, 25.0, 0.0},
          {20, 3, "1", 0.0, 90.0, false, 0.03, 30.0, 0.0},
      },
      {
          // RATE1 after the branch name; STAT after the twelve ratings and GI..BJ.
          {10, 20, 1, "1", 0.1, 1.0, 0.0, 150.0, true},
          {10, 20, 2, "2", 0.2, 1.0, 0.0, 0.0, true},
          {20, 30, 3, "1", 0.05, 1.0, 0.0, 100.0, true},
          {30, 40, 4, "1", 0.3, 1.0, 0.0, 0.0, false},
          // The closed breaker: a branch with its X.
          {30, 40, 1, "SW", 0.0001, 1.0, 0.0, 0.0, true},
          // Two-winding transformers before three-winding ones, as psse2mpc
          // orders them; the row stays the record's place in its section.
          // CZ 2: 0.08 x 100/200 = 0.04; CW 2: (241.5/115) x (115/230).
          {10, 40, 2, "T1", 0.08 * (230.0 * 230.0 / 200.0) / (230.0 * 230.0 / 100.0), 241.5 / 115.0 * 115.0 / 230.0,
           -3.0, 120.0, true},
          {20, 101, 1, "T3", (0.1 + 0.15 - 0.2) / 2, 1.02, 0.0, 100.0, true},
          {30, 101, 1, "T3", (0.1 + 0.2 - 0.15) / 2, 0.98, 2.0, 80.0, true},
          {40, 101, 1, "T3", (0.15 + 0.2 - 0.1) / 2, 1.0, 0.0, 0.0, true},
      });
  const std::vector<std::string> notes = {
      "system-wide data: 2 records skipped (solution settings and rating names)",
      "system switching device data: 1 device read as branches (X as the reactance, RATE1 as the flow limit, STAT "
      "as the status)",
      "area data: 1 record skipped (not used by the DC dispatch)",
      "two-terminal DC line data: 1 record skipped (blocked DC links)",
      "transformer impedance correction data: 2 lines skipped (the DC model takes each transformer's impedance as "
      "written)",
      "zone data: 1 record skipped (not used by the DC dispatch)",
      "owner data: 1 record skipped (not used by the DC dispatch)",
      "FACTS device data: 1 record skipped (FACTS devices are not modelled)",
      "switched shunt data: 1 record ignored (they hold reactive susceptance only, which the DC model does not use)",
      "substation data: 2 lines skipped (node-breaker detail of buses already read)",
      "three-winding transformers: star bus 101 added, joined to the three winding buses",
      "non-transformer branch data: the end conductances GI and GJ of 1 branch added to the shunts of their buses, "
      "as psse2mpc adds them",
  };
  EXPECT_EQ(network.notes, notes);
}

// ---- versions -------------------------------------------------------------

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(RawVersion, ForcedVersionReadsAFileWhoseHeaderSaysAnother) {
  const std::string text = replaced(read_text(kData + "/v33_elements.raw"), "0,   100.00, 33,", "0,   100.00, 32,");
  RawOptions options;
  options.costs = read_generator_costs_file(kData + "/v33_elements.costs.csv");
  EXPECT_THROW(read_raw(text, "v33_elements.raw", options), RawError);
  options.version = 33;
  const Network network = read_raw(text, "v33_elements.raw", options);
  ASSERT_FALSE(network.notes.empty());
  EXPECT_EQ(network.notes[0], "read as RAW version 33 as asked; the header says version 32");
  EXPECT_EQ(network.branches.size(), 6u);
}

TEST(RawVersion, AVersion35FileReadAs33IsRefusedAtItsLongerRecords) {
  RawOptions options;
  options.costs = read_generator_costs_file(kData + "/v35_network.costs.csv");
  options.version = 33;
  try {
    read_raw(read_text(kData + "/v35_network.raw"), "v35_network.raw", options);
    FAIL() << "read";
  } catch (const RawError& e) {
    EXPECT_STREQ(e.what(),
                 "v35_network.raw: line 16: load data: 18 fields, more than the 14 of a version 33 record (is the "
                 "version right? --raw-version chooses it)");
  }
}

// ---- refusals ---------------------------------------------------------------

// A small version 33 case; each refusal below changes one place of it.
const std::string kSmallCase =
    "0, 100.0, 33 / header\n"                             // line 1
    "title one\n"                                         // 2
    "title two\n"                                         // 3
    "1,'A',138.0,3\n"                                     // 4
    "2,'B',138.0,1\n"                                     // 5
    "0 / END OF BUS DATA\n"                               // 6
    "2,'1',1,1,1,50.0\n"                                  // 7
    "0 / END OF LOAD DATA\n"                              // 8
    "0 / END OF FIXED SHUNT DATA\n"                       // 9
    "1,'1',0,0,0,0,1,0,100,0,1,0,0,1,1,100,200,0\n"       // 10
    "0 / END OF GENERATOR DATA\n"                         // 11
    "1,2,'1',0,0.1\n"                                     // 12
    "0 / END OF BRANCH DATA\n"                            // 13
    "0 / END OF TRANSFORMER DATA\n"                       // 14
    "Q\n";

const std::string kTransformer = "0 / END OF BRANCH DATA\n";  // a transformer record goes after it

struct Refusal {
  const char* what;
  std::string from;
  std::string to;
  std::string message;  // after "case.raw: "
};

class RawRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(RawRefusal, NamesLineAndField) {
  const Refusal& refusal = GetParam();
  RawOptions options;
  options.costs = read_generator_costs("bus,id,c2,c1,c0\n1,1,0,10,0\n", "costs.csv");
  const std::string text = replaced(kSmallCase, refusal.from, refusal.to);
  try {
    read_raw(text, "case.raw", options);
    FAIL() << refusal.what << ": read";
  } catch (const RawError& e) {
    EXPECT_EQ(std::string(e.what()), "case.raw: " + refusal.message) << refusal.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawRefusal,
    testing::Values(
        Refusal{"unsupported version", "0, 100.0, 33", "0, 100.0, 32",
                "line 1: case identification: field REV: RAW version 32 cannot be read (versions 33, 34 and 35 can; "
                "--raw-version reads the file as one of them)"},
        Refusal{"no version", "0, 100.0, 33", "0, 100.0",
                "line 1: case identification: field REV: missing: the version is not known (give it with "
                "--raw-version)"},
        Refusal{"change case", "0, 100.0, 33", "1, 100.0, 33",
                "line 1: case identification: field IC: 1: the file changes a case held by the program that wrote "
                "it; only a whole case (IC = 0) can be read"},
        Refusal{"zero base", "0, 100.0, 33", "0, 0.0, 33",
                "line 1: case identification: field SBASE: the system base must be positive (it is 0)"},
        Refusal{"bus type", "2,'B',138.0,1", "2,'B',138.0,7",
                "line 5: bus data: field IDE: 7 is not a bus type (1 to 4)"},
        Refusal{"bus twice", "2,'B',138.0,1", "1,'B',138.0,1",
                "line 5: bus data: field I: bus 1 is already defined on line 4"},
        Refusal{"open quote", "2,'B',138.0,1", "2,'B,138.0,1", "line 5: field 2: a text without its closing quote"},
        Refusal{"unknown bus", "2,'1',1,1,1,50.0", "9,'1',1,1,1,50.0",
                "line 7: load data: field I: bus 9 is not in the bus data"},
        Refusal{"not a number", "2,'1',1,1,1,50.0", "2,'1',1,1,1,5O.0",
                "line 7: load data: field PL: '5O.0' is not a finite number"},
        Refusal{"status", "2,'1',1,1,1,50.0", "2,'1',2,1,1,50.0",
                "line 7: load data: field STATUS: 2 is not a status (0 or 1)"},
        Refusal{"generator limits", "1,100,200,0\n", "1,100,50,60\n",
                "line 10: generator data: field PT: the upper limit 50 MW is below the lower limit PB = 60 MW"},
        Refusal{"generator twice", "0 / END OF GENERATOR DATA", "1,'1 ',0\n0 / END OF GENERATOR DATA",
                "line 11: generator data: field ID: a second generator at bus 1 with machine id '1' (the first is on "
                "line 10)"},
        Refusal{"generator record too long", "1,100,200,0\n", "1,100,200,0,1,1,0,0,0,0,0,0,0,0,0\n",
                "line 10: generator data: 29 fields, more than the 28 of a version 33 record (is the version right? "
                "--raw-version chooses it)"},
        Refusal{"no reactance", "1,2,'1',0,0.1", "1,2,'1',0",
                "line 12: non-transformer branch data: field X: missing (it has no default)"},
        Refusal{"negative rating", "1,2,'1',0,0.1", "1,2,'1',0,0.1,0,-5",
                "line 12: non-transformer branch data: field RATEA: a negative rating (-5 MVA)"},
        Refusal{"loop", "1,2,'1',0,0.1", "1,1,'1',0,0.1",
                "line 12: non-transformer branch data: field J: the branch joins bus 1 to itself"},
        Refusal{"ends inside a section", kSmallCase.substr(kSmallCase.find("0 / END OF LOAD DATA")), "",
                "the file ends inside the load data (no record 0 ends it)"},
        Refusal{"impedance code", kTransformer, kTransformer + "1,2,0,'1',1,4,1,0,0,2,'T',1\n0,0.1,100\n1.0\n1.0\n",
                "line 14: transformer data: field CZ: 4 is not a code (1, 2 or 3)"},
        Refusal{"load loss above |Z|", kTransformer,
                kTransformer + "1,2,0,'1',1,3,1,0,0,2,'T',1\n500000,0.004,100\n1.0\n1.0\n",
                "line 15: transformer data (impedance line): field X1-2: |Z| = 0.004 pu is below the resistance "
                "0.005 pu that the load loss R1-2 gives"},
        Refusal{"third winding bus", kTransformer,
                kTransformer + "1,2,3,'1',1,1,1,0,0,2,'T',1\n0,0.1,100,0,0.1,100,0,0.1,100\n1\n1\n1\n",
                "line 14: transformer data: field K: bus 3 is not in the bus data"},
        Refusal{"transformer cut short", "0 / END OF TRANSFORMER DATA\nQ\n", "1,2,0,'1',1,1,1,0,0,2,'T',1\n0,0.1,100\n",
                "line 14: transformer data: the file ends inside this record (it has 4 lines)"},
        Refusal{"DC link in service", "0 / END OF TRANSFORMER DATA\n",
                "0 / END OF TRANSFORMER DATA\n0 / END OF AREA DATA\n'DC 1',1,5.0,100,500\n1,2\n2,2\n",
                "line 16: two-terminal DC line data: field MDC: two-terminal DC line 'DC 1' is in service (MDC = "
                "1): DC links are not modelled, and leaving it out would change the network"},
        Refusal{"no buses", "1,'A',138.0,3\n2,'B',138.0,1\n0 / END OF BUS DATA\n2,'1',1,1,1,50.0\n", "Q\n",
                "no bus data"}));

// A ratio in kV needs the bus base voltages.
TEST(RawRefusalKv, TransformerInKilovoltsNeedsBusVoltages) {
  RawOptions options;
  options.costs = read_generator_costs("bus,id,c2,c1,c0\n1,1,0,10,0\n", "costs.csv");
  const std::string text =
      replaced(replaced(kSmallCase, "2,'B',138.0,1", "2,'B',0.0,1"), kTransformer,
               kTransformer + "1,2,0,'1',2,1,1,0,0,2,'T',1\n0,0.1,100\n138.0\n13.8\n");
  try {
    read_raw(text, "case.raw", options);
    FAIL() << "read";
  } catch (const RawError& e) {
    EXPECT_STREQ(e.what(),
                 "case.raw: line 17: transformer data (winding 2 line): field WINDV2: CW = 2 needs the base voltage "
                 "of bus 2, whose BASKV is 0");
  }
}

// ---- costs against the generators ---------------------------------------------

struct CostRefusal {
  const char* what;
  std::string costs;  // empty: none given
  std::string message;
};

class RawCostRefusal : public testing::TestWithParam<CostRefusal> {};

TEST_P(RawCostRefusal, NamesTheGeneratorOrTheRow) {
  const CostRefusal& refusal = GetParam();
  // A second generator at bus 2, in service.
  const std::string text =
      replaced(kSmallCase, "0 / END OF GENERATOR DATA", "2,'X',0,0,0,0,1,0,100,0,1,0,0,1,1,100,80,0\n0 / END OF GENERATOR DATA");
  RawOptions options;
  if (!refusal.costs.empty()) options.costs = read_generator_costs(refusal.costs, "costs.csv");
  try {
    read_raw(text, "case.raw", options);
    FAIL() << refusal.what << ": read";
  } catch (const RawError& e) {
    EXPECT_EQ(std::string(e.what()), refusal.message) << refusal.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawCostRefusal,
    testing::Values(
        CostRefusal{"no costs file", "",
                    "case.raw: line 10: generator record 1 at bus 1 with machine id '1' is in service but has no cost: "
                    "no costs were given (RAW files carry none: --costs FILE, a CSV with header bus,id,c2,c1,c0) (and 1 "
                    "more generator lacks one)"},
        CostRefusal{"a generator without a row", "bus,id,c2,c1,c0\n1,1,0,10,0\n",
                    "case.raw: line 11: generator record 2 at bus 2 with machine id 'X' is in service but has no cost: "
                    "it has no row in costs.csv"},
        CostRefusal{"a row without a generator", "bus,id,c2,c1,c0\n1,1,0,10,0\n2,X,0,12,0\n2,Y,0,12,0\n",
                    "costs.csv: line 4: no generator at bus 2 with machine id 'Y' in case.raw"}));

TEST(RawCosts, OutOfServiceGeneratorsNeedNoRow) {
  // The second generator at bus 2 is out of service (STAT 0): no row needed,
  // and it costs nothing.
  const std::string text =
      replaced(kSmallCase, "0 / END OF GENERATOR DATA", "2,'X',0,0,0,0,1,0,100,0,1,0,0,1,0,100,80,0\n0 / END OF GENERATOR DATA");
  RawOptions options;
  options.costs = read_generator_costs("bus,id,c2,c1,c0\n1,1,0.5,10,3\n", "costs.csv");
  const Network network = read_raw(text, "case.raw", options);
  ASSERT_EQ(network.generators.size(), 2u);
  EXPECT_EQ(network.generators[0].cost.c2, 0.5);
  EXPECT_EQ(network.generators[0].cost.c1, 10.0);
  EXPECT_EQ(network.generators[0].cost.c0, 3.0);
  EXPECT_FALSE(network.generators[1].in_service);
  EXPECT_EQ(network.generators[1].cost.c1, 0.0);
}

}  // namespace
}  // namespace corvo::network
