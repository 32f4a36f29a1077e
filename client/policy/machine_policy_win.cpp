// The policies from HKLM\Software\Policies\Drovessa\CorvaneClient. The key is opened in the
// 64-bit view (KEY_WOW64_64KEY): this 32-bit program would otherwise read WOW6432Node on 64-bit
// Windows where the key is redirected, while Group Policy and a 64-bit regedit write the 64-bit
// view. 32-bit Windows ignores the flag.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "base/unique_handle_win.h"
#include "base/utf8.h"
#include "client/policy/machine_policy_source.h"
#include "client/policy/policy_names.h"

namespace corvane {
namespace {

// Longer data is no policy value of ours; it is read as a value of no usable type.
constexpr DWORD kMaxDataBytes = 64 * 1024;

std::vector<PolicyValue> ReadValues(HKEY key) {
  std::vector<PolicyValue> values;
  DWORD maxName = 0, maxData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::vector<wchar_t> name(maxName + 1);
  std::vector<BYTE> data(std::min(maxData, kMaxDataBytes) + sizeof(wchar_t));
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size() - sizeof(wchar_t));
    LONG status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {  // over the limit, or the value grew meanwhile: its name only
      nameLength = static_cast<DWORD>(name.size());
      status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
      type = REG_NONE;
      size = 0;
    }
    if (status != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or the key went away
    PolicyValue value;
    value.name.assign(name.data(), nameLength);
    if (type == REG_DWORD && size == sizeof(DWORD)) {
      value.kind = PolicyValue::Kind::Number;
      value.number = *reinterpret_cast<const DWORD*>(data.data());
    } else if (type == REG_SZ) {
      // Stored with or without its NUL; the text ends at the first one.
      value.kind = PolicyValue::Kind::Text;
      const auto* text = reinterpret_cast<const wchar_t*>(data.data());
      value.text.assign(text, size / sizeof(wchar_t));
      value.text.resize(wcsnlen(value.text.c_str(), value.text.size()));
    }
    values.push_back(std::move(value));
  }
  return values;
}

}  // namespace

MachinePolicy ReadMachinePolicy() {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) !=
      ERROR_SUCCESS) {
    return MachinePolicy{};  // no policy set: the usual case
  }
  const UniqueRegistryKey key(opened);
  std::vector<std::string> problems;
  MachinePolicy policy = DecodePolicy(ReadValues(key.Get()), PolicyForm::Registry, problems);
  for (const std::string& problem : problems) {
    OutputDebugStringW((L"CorvaneClient: " + Utf8ToWide(problem) + L"\n").c_str());
  }
  return policy;
}

}  // namespace corvane
