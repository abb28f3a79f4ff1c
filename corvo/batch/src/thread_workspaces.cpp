#include "corvo/batch/scenario_solver.hpp"

namespace corvo::batch {

#ifdef CORVO_ROBUST_WORKSPACE
struct ThreadWorkspaces::Impl {
  robust::Workspace base;
  robust::Workspace other;
};
robust::Workspace* ThreadWorkspaces::base() { return &impl_->base; }
robust::Workspace* ThreadWorkspaces::other() { return &impl_->other; }
#else
// Interim: the method solve_model calls keeps no analysis between solves.
struct ThreadWorkspaces::Impl {};
robust::Workspace* ThreadWorkspaces::base() { return nullptr; }
robust::Workspace* ThreadWorkspaces::other() { return nullptr; }
#endif

ThreadWorkspaces::ThreadWorkspaces() : impl_(std::make_unique<Impl>()) {}
ThreadWorkspaces::~ThreadWorkspaces() = default;

}  // namespace corvo::batch
