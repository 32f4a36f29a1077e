// The registry reader against Wine's real registry: values written as Group Policy writes them
// (HKLM, 64-bit view) and as a careless tool might (a REG_SZ without its NUL, REG_EXPAND_SZ, four
// bytes of REG_BINARY, data past the reader's limit); each bad one is left out with exactly one
// line through OutputDebugStringW, caught here as a debugger would see it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "client/policy/machine_policy_source.h"
#include "client/policy/policy_names.h"

namespace corvane {
namespace {

std::vector<std::wstring> g_debugLines;

// OutputDebugStringW raises DBG_PRINTEXCEPTION_WIDE_C (newer systems) and then, or only,
// DBG_PRINTEXCEPTION_C with the narrow text; handled here, the call returns at once.
LONG CALLBACK CatchDebugString(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& r = *info->ExceptionRecord;
  if (r.ExceptionCode == 0x4001000A /* DBG_PRINTEXCEPTION_WIDE_C */ && r.NumberParameters >= 2) {
    g_debugLines.emplace_back(reinterpret_cast<const wchar_t*>(r.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2) {
    const char* text = reinterpret_cast<const char*>(r.ExceptionInformation[1]);
    g_debugLines.emplace_back(text, text + strlen(text));
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class RegistryPolicies : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    handler = AddVectoredExceptionHandler(1, CatchDebugString);
  }
  void TearDown() override {
    RemoveVectoredExceptionHandler(handler);
    RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, KEY_WOW64_64KEY, 0);
  }
  void Put(const wchar_t* name, DWORD type, const void* data, size_t size) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
  }
  MachinePolicy Read() {
    g_debugLines.clear();
    return ReadMachinePolicy();
  }
  HKEY key = nullptr;
  void* handler = nullptr;
};

TEST_F(RegistryPolicies, GoodValuesCountAndEachBadOneIsOneDebugLine) {
  const DWORD off = 0;
  Put(kUpdateCheckPolicy, REG_DWORD, &off, sizeof(off));
  const wchar_t exitNoNul[] = {L'e', L'x', L'i', L't'};  // stored without its terminating NUL
  Put(kCloseBehaviorPolicy, REG_SZ, exitNoNul, sizeof(exitNoNul));
  MachinePolicy p = Read();
  EXPECT_TRUE(p.UpdatesOff());
  EXPECT_EQ(p.closeBehavior, CloseBehavior::Exit);
  EXPECT_TRUE(g_debugLines.empty());

  // Wrong types and an unknown name, each left out; the rest still counts.
  Put(kUpdateCheckPolicy, REG_BINARY, &off, sizeof(off));
  const wchar_t expand[] = L"minimize";
  Put(kCloseBehaviorPolicy, REG_EXPAND_SZ, expand, sizeof(expand));
  const std::wstring huge(40000, L'x');  // 80000 bytes: more than any policy of ours
  Put(L"Huge", REG_SZ, huge.c_str(), (huge.size() + 1) * sizeof(wchar_t));
  p = Read();
  EXPECT_FALSE(p.updateCheck.has_value());
  EXPECT_FALSE(p.closeBehavior.has_value());
  std::vector<std::wstring> expected = {
      L"CorvaneClient: policy \"UpdateCheck\": not a REG_DWORD; ignored\n",
      L"CorvaneClient: policy \"CloseBehavior\": not a REG_SZ; ignored\n",
      L"CorvaneClient: policy \"Huge\": unknown; ignored\n",
  };
  // The registry enumerates in its own order; what matters is one line each.
  std::sort(expected.begin(), expected.end());
  std::sort(g_debugLines.begin(), g_debugLines.end());
  EXPECT_EQ(g_debugLines, expected);

  // No key at all: no policy, nothing said.
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, KEY_WOW64_64KEY, 0);
  p = Read();
  EXPECT_FALSE(p.updateCheck.has_value() || p.closeBehavior.has_value());
  EXPECT_TRUE(g_debugLines.empty());
}

}  // namespace
}  // namespace corvane
