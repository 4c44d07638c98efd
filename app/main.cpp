// protowrap: rewrites the CG and CW protocol-definition headers named in ./Talvenor.ini into
// ./Protocol_CG.WRAP.h and ./Protocol_CW.WRAP.h. Takes no arguments; always exits 0, since builds
// run it as a step and read its result lines.
#include "platform/file_system.h"
#include "wrap/conversion_job.h"

int main() {
  protowrap::platform::PrepareHeap();
  for (const protowrap::ConversionJob& job : protowrap::kConversionJobs) {
    protowrap::RunConversion(job);
  }
  return 0;
}
