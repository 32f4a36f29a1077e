// The names of the machine-wide policies, shared by both readers and checked against the
// administrative templates (policy_templates_test.py reads these constants from this file).
#pragma once

namespace corvane {

// Windows: values under HKEY_LOCAL_MACHINE, in the 64-bit view where there is one.
constexpr wchar_t kPolicyRegistryKey[] = L"Software\\Policies\\Drovessa\\CorvaneClient";
// Linux: the file's section.
constexpr char kPolicyFileSection[] = "policy";

// REG_DWORD (the file: the text) 0 or 1; 0 turns the update check, its prompts and the
// updater's staging off.
constexpr wchar_t kUpdateCheckPolicy[] = L"UpdateCheck";
// REG_SZ (the file: the text) "ask", "minimize" or "exit": fixes what closing the main window
// does.
constexpr wchar_t kCloseBehaviorPolicy[] = L"CloseBehavior";

}  // namespace corvane
