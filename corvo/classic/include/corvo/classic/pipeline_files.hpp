// The files of the pipeline for one case, written by orsa's and talven's
// own code exactly as running `orsa` (typing the case name) and then
// `talven` in the folder of the case file would write them:
//
//   NAME.lst, orsa.ip, orsa.flw   (orsa: listing, problem file, flow data file)
//   NAME.ip, talven.flw           (talven: case report, flow file)
//
// for the case file NAME.dat. Files of these five names in that folder are
// replaced; no other file is written or changed.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "corvo/classic/classic_method.hpp"

namespace corvo::classic {

// A case whose pipeline files cannot be written: a name orsa would not
// take, a program that ended with an error, or a flow file that does not
// hold the in-memory result.
class PipelineFilesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The five file names (without folder) for the case file, in the order
// above. Throws PipelineFilesError unless the file is named NAME.dat with
// a NAME of 1 to 9 characters without blanks (what orsa's prompt takes),
// and NAME is not "orsa" (whose report would be the problem file).
std::vector<std::string> pipeline_file_names(const std::filesystem::path& case_file);

// Solves the case in memory, then writes the five files next to the case
// file and checks that talven.flw holds the in-memory result. Nothing is
// written when the case cannot be loaded (dispatch::CaseFileError) or its
// name is refused (PipelineFilesError).
ClassicResult solve_and_write_pipeline_files(const std::filesystem::path& case_file);

// The text of "talven.flw" for a result that talven ended with a report
// (not for Outcome::Failed, after which talven writes no flow record):
// records ending with CR LF.
std::string flow_file_text(const ClassicResult& result);

}  // namespace corvo::classic
