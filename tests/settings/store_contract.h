// What every SettingsStore must do, as one test suite run over each
// implementation. An implementation adds
//   INSTANTIATE_TEST_SUITE_P(Name, SettingsStoreContract, ::testing::Values(StoreKind{"Name", &MakeHarness}),
//                            StoreKindName);
// where the harness gives views of one fresh, empty location.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/settings_store.h"

namespace tsl::test {

class StoreHarness {
 public:
  virtual ~StoreHarness() = default;
  // Another view of the same location (as a second process would have).
  virtual std::unique_ptr<SettingsStore> Open() = 0;
};

struct StoreKind {
  const char* name;
  std::unique_ptr<StoreHarness> (*make)();
};

inline std::string StoreKindName(const ::testing::TestParamInfo<StoreKind>& info) { return info.param.name; }

class SettingsStoreContract : public ::testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override {
    harness = GetParam().make();
    store = harness->Open();
  }
  std::unique_ptr<StoreHarness> harness;
  std::unique_ptr<SettingsStore> store;
};

}  // namespace tsl::test
