// Names on the machine through which the client, its installer and the uninstaller meet.
// Changing any of them breaks installed copies: they are fixed.
#pragma once

namespace corvane {

// Named kernel mutex: one client per logon session; the uninstaller holds it while removing.
inline constexpr wchar_t kClientMutexName[] = L"corvane_client_{7E025D74-F00F-4E9B-976B-084ACB853F36}";
inline constexpr wchar_t kClientExeName[] = L"CorvaneClient.exe";
// Under HKEY_CURRENT_USER; written by the installer and the client.
inline constexpr wchar_t kClientRegistryKey[] = L"Software\\Corvane\\Client";
inline constexpr wchar_t kInstallDirValue[] = L"Install_Dir";
inline constexpr wchar_t kMainWindowCaption[] = L"Drovessa\x8001\x5E08\x7AEF";  // Drovessa老师端

}  // namespace corvane
