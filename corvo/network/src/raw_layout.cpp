#include "raw_layout.hpp"

namespace corvo::network::raw {

const char* section_name(Section section) {
  switch (section) {
    case Section::system_wide: return "system-wide data";
    case Section::bus: return "bus data";
    case Section::load: return "load data";
    case Section::fixed_shunt: return "fixed shunt data";
    case Section::generator: return "generator data";
    case Section::branch: return "non-transformer branch data";
    case Section::switching_device: return "system switching device data";
    case Section::transformer: return "transformer data";
    case Section::area: return "area data";
    case Section::two_terminal_dc: return "two-terminal DC line data";
    case Section::vsc_dc: return "VSC DC line data";
    case Section::impedance_correction: return "transformer impedance correction data";
    case Section::multi_terminal_dc: return "multi-terminal DC line data";
    case Section::multi_section_line: return "multi-section line data";
    case Section::zone: return "zone data";
    case Section::inter_area_transfer: return "inter-area transfer data";
    case Section::owner: return "owner data";
    case Section::facts: return "FACTS device data";
    case Section::switched_shunt: return "switched shunt data";
    case Section::gne: return "GNE device data";
    case Section::induction_machine: return "induction machine data";
    case Section::substation: return "substation data";
  }
  return "data";
}

std::string Layout::winding_rate_name(int winding) const {
  return version == 33 ? "RATA" + std::to_string(winding) : "RATE" + std::to_string(winding) + "-1";
}

Layout layout_of(int version) {
  using S = Section;
  Layout layout;
  layout.version = version;
  if (version == 33) {
    layout.sections = {S::system_wide, S::bus, S::load, S::fixed_shunt, S::generator, S::branch, S::transformer,
                       S::area, S::two_terminal_dc, S::vsc_dc, S::impedance_correction, S::multi_terminal_dc,
                       S::multi_section_line, S::zone, S::inter_area_transfer, S::owner, S::facts,
                       S::switched_shunt, S::gne, S::induction_machine};
    return layout;
  }
  // Versions 34 and 35: system switching devices after the branches, the
  // substations last, twelve ratings per branch and winding, a branch name.
  layout.sections = {S::system_wide, S::bus, S::load, S::fixed_shunt, S::generator, S::branch, S::switching_device,
                     S::transformer, S::area, S::two_terminal_dc, S::vsc_dc, S::impedance_correction,
                     S::multi_terminal_dc, S::multi_section_line, S::zone, S::inter_area_transfer, S::owner, S::facts,
                     S::switched_shunt, S::gne, S::induction_machine, S::substation};
  layout.branch_rate = 8;  // I, J, CKT, R, X, B, NAME, RATE1
  layout.branch_gi = 20;
  layout.branch_gj = 22;
  layout.branch_stat = 24;
  layout.branch_fields = 34;
  layout.branch_rate_name = "RATE1";
  layout.transformer_fields = 22;  // ZCOD after VECGRP
  layout.winding_fields = 27;
  layout.impedance_tables_span_lines = true;
  if (version == 34) {
    layout.load_fields = 17;  // DGENP, DGENQ, DGENF
    layout.gen_fields = 29;   // NREG at the end
  } else {
    layout.load_fields = 18;  // and LOADTYPE
    // NREG after IREG and BASLOD after PB move STAT, PT and PB by one.
    layout.gen_stat = 16;
    layout.gen_pt = 18;
    layout.gen_pb = 19;
    layout.gen_fields = 30;
  }
  return layout;
}

}  // namespace corvo::network::raw
