#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "devices/contract/family_bench.h"
#include "devices/contract/family_run.h"
#include "devices/family_registry.h"

namespace telpod::test {

// The contract suite over one family's bench. A family's test folder runs it
// with INSTANTIATE_TEST_SUITE_P(<Family>, FamilyContract,
// ::testing::Values(MakerOf<Bench>("<Family>"))).
class FamilyContract : public ::testing::TestWithParam<BenchMaker> {
 protected:
  // The row of the family table named as the bench says.
  static Family FamilyNamed(const char* name) {
    const auto table = FamilyRegistry();
    for (size_t row = 0; row < table.size(); ++row) {
      if (std::strcmp(table[row]->name, name) == 0) return FamilyOfRow(row);
    }
    return Family::None;
  }

  // Start-up on the devices of `situation`; the driver mask.
  int32_t StartUp(Situation situation) {
    bench->Prepare(situation);
    return run.StartUp();
  }

  std::unique_ptr<FamilyBench> bench = GetParam().make();
  const Expected& expected = bench->expected;
  const Family family = FamilyNamed(expected.name);
  FamilyRun run{*bench};
};

}  // namespace telpod::test
