// What changes between RAW versions 33, 34 and 35 for the records this
// reader uses: the order of the sections and the positions of the fields.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvo::network::raw {

enum class Section {
  system_wide,  // versions 34 and 35, and only when present
  bus,
  load,
  fixed_shunt,
  generator,
  branch,
  switching_device,  // versions 34 and 35
  transformer,
  area,
  two_terminal_dc,
  vsc_dc,
  impedance_correction,
  multi_terminal_dc,
  multi_section_line,
  zone,
  inter_area_transfer,
  owner,
  facts,
  switched_shunt,
  gne,
  induction_machine,
  substation,  // versions 34 and 35; it holds nested sections and runs to the end
};

const char* section_name(Section section);

// 1-based field positions (as the format's documentation numbers them) and
// the most fields a record of each kind has, per version.
struct Layout {
  int version = 33;
  std::vector<Section> sections;
  std::size_t bus_fields = 13;
  std::size_t load_fields = 14;
  std::size_t shunt_fields = 5;
  std::size_t gen_stat = 15, gen_pt = 17, gen_pb = 18, gen_fields = 28;
  std::size_t branch_rate = 7, branch_gi = 10, branch_gj = 12, branch_stat = 14, branch_fields = 24;
  std::string branch_rate_name = "RATEA";
  std::size_t switch_fields = 21;
  std::size_t transformer_fields = 21;  // the first line of a transformer record
  std::size_t winding_fields = 17;      // a winding line
  bool impedance_tables_span_lines = false;
  // The rating of winding n: "RATAn" (33) or "RATEn-1" (34, 35).
  std::string winding_rate_name(int winding) const;
};

// The layout of version 33, 34 or 35.
Layout layout_of(int version);

}  // namespace corvo::network::raw
