// What one run of the header check found, held until the end of the header settles which of it
// stands.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "check/build_configuration.h"
#include "check/problem_sink.h"
#include "check/warning_report.h"

namespace protowrap::check {

/// Findings, each with the configurations in which it makes the wrap header fail. Some hold in
/// every configuration that compiles the header (the rules broke the text itself); others hold
/// only where the header compiles certain declarations. Which configurations compile the header
/// at all (#error), and whether the header replaced the client's macros, is known only at its
/// end: Deliver hands on what stands then. Memory: the first findings of each kind that the sink
/// shows, and counts of the others.
class Findings {
 public:
  explicit Findings(std::int32_t shown);

  /// A finding that holds wherever the header compiles.
  void Add(std::int32_t offset, HeaderProblem problem);

  /// A finding that holds in the configurations `where` (where the header compiles).
  void Add(std::int32_t offset, HeaderProblem problem, ConfigurationSet where);

  /// Hands on the findings that stand: those that hold wherever the header compiles, unless it
  /// compiles nowhere (`compiles` empty), and the others where they hold in a configuration of
  /// `surelyCompiles`; none that reads a client's definition that the header replaced
  /// (`replaced`: ClientName bits). Each names the build it holds in: none when one of the four
  /// builds of the targets fails, else the first switch whose build does.
  void Deliver(ConfigurationSet compiles, ConfigurationSet surelyCompiles, std::uint8_t replaced,
               ProblemSink& sink);

 private:
  std::int32_t shown_;
  WarningReport everywhere_;
  std::unordered_map<ConfigurationSet, WarningReport> buckets_;  // by where they hold
};

}  // namespace protowrap::check
