// What one run of the header check found, held until the end of the header settles which of it
// stands.
#pragma once

#include <array>
#include <cstdint>

#include "check/configurations.h"
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
  /// (`replaced`: ClientName bits).
  void Deliver(ConfigurationSet compiles, ConfigurationSet surelyCompiles, std::uint8_t replaced,
               ProblemSink& sink);

 private:
  static constexpr std::size_t kEverywhere = 1u << kConfigurationCount;
  std::array<WarningReport, kEverywhere + 1> buckets_;  // by configuration set, and everywhere
};

}  // namespace protowrap::check
