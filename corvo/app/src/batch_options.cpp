#include "corvo/app/batch_command.hpp"

namespace corvo::app {

CLI::App* add_batch_command(CLI::App& app, BatchArgs& args) {
  CLI::App* cmd = app.add_subcommand(
      "batch", "Solve many scenarios of one network (a year of hours, N-1 outages, sampled loads) on all cores, "
               "or across processes under mpirun or srun");
  cmd->add_option("NETWORK", args.input, "the network: our case file, a MATPOWER .m file or a PSS/E .raw file")
      ->required();
  cmd->add_option("--scenarios", args.scenarios,
                  "CSV file, one row per scenario: scenario, load_scale, load:BUS, gen_max:GEN, gen_min:GEN, "
                  "gen_cost:GEN, gen_status:GEN, branch_status:BRANCH, rate:BRANCH");
  cmd->add_option("--outages", args.outages,
                  "n-1: one scenario per branch in service whose outage leaves the network connected")
      ->check(CLI::IsMember({"n-1"}));
  cmd->add_option("--output", args.output,
                  "CSV: the folder of the tables (default NAME_batch); HDF5: the file (default NAME_batch.h5)");
  cmd->add_option("--format", args.format, "csv (default) or hdf5")->check(CLI::IsMember({"csv", "hdf5"}));
  cmd->add_option("--threads", args.threads, "solving threads per process (default: every core it may use)")
      ->check(CLI::Range(1, 4096));
  cmd->add_option("--method", args.method, "robust (default) or classic")
      ->check(CLI::IsMember({"robust", "classic"}));
  cmd->add_flag("--ignore-angle-limits", args.ignore_angle_limits,
                "leave out the branches' angle-difference limits (MATPOWER's opf.ignore_angle_lim)");
  cmd->add_flag("--cold", args.cold_start,
                "start every scenario from the method's own starting point, not from the base network's solution");
  add_input_options(*cmd, args.input_options);
  return cmd;
}

}  // namespace corvo::app
