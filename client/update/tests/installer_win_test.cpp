// The installer file, the ready test, and starting the updater and the installer, on real files
// and real processes (a recorder program stands for update.exe and Setup.exe; the build signs
// it and the version probes with its demo key, as a publisher signs an installer).
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "client/update/installer_win.h"
#include "client/update/update_check_win.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using testing_files::ReadAll;

bool Exists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

// Waits up to 10 s for a recorder's log line.
std::string WaitForLog(const std::wstring& program) {
  const std::wstring log = program + L".log";
  for (int i = 0; i < 100; ++i) {
    const std::string text = ReadAll(log);
    if (!text.empty() && text.back() == '\n') return text;
    Sleep(100);
  }
  return std::string();
}

std::wstring Probe(const wchar_t* name) { return GetProgramFolder() + L"\\" + name; }

class Installer : public ::testing::Test {
 protected:
  void SetUp() override {
    installer = GetInstallerFilePath();
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    DeleteFileW((installer + L".log").c_str());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    installDir = std::wstring(temp) + L"corvane_installed_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(installDir.c_str(), nullptr);
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, installDir.c_str(),
                static_cast<DWORD>((installDir.size() + 1) * sizeof(wchar_t)));
  }
  void TearDown() override {
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    DeleteFileW((installer + L".log").c_str());
    DeleteFileW((installDir + L"\\CorvaneClient.exe").c_str());
    RemoveDirectoryW(installDir.c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  }
  void Install(const wchar_t* probe) {
    ASSERT_TRUE(CopyFileW(Probe(probe).c_str(), (installDir + L"\\CorvaneClient.exe").c_str(), FALSE));
  }
  // A downloaded installer as the download leaves it: the file and, unless told otherwise, the
  // signature that came with it.
  void Place(const wchar_t* probe, const wchar_t* signatureOf = nullptr) {
    CreateDirectoryTree(installer.substr(0, installer.rfind(L'\\')));
    ASSERT_TRUE(CopyFileW(Probe(probe).c_str(), installer.c_str(), FALSE));
    if (signatureOf == nullptr) signatureOf = probe;
    if (*signatureOf) {
      ASSERT_TRUE(CopyFileW((Probe(signatureOf) + L".sig").c_str(), GetInstallerSignaturePath().c_str(), FALSE));
    }
  }
  bool NothingLeft() const { return !Exists(installer) && !Exists(GetInstallerSignaturePath()); }
  std::wstring installer, installDir;
};

TEST_F(Installer, PathsLieInTheTemporaryFolder) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(GetInstallerFilePath(), std::wstring(temp) + L"\\corvane\\Setup.exe");
  EXPECT_EQ(GetUpdaterCopyPath(), std::wstring(temp) + L"\\corvane\\update.exe");
  EXPECT_EQ(GetInstalledClientPath(), installDir + L"\\CorvaneClient.exe");
  SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  EXPECT_EQ(GetInstalledClientPath(), L"\\CorvaneClient.exe");
}

TEST_F(Installer, WritesTheWholeBodyByteForByte) {
  std::string body(300000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7 + 3);
  EXPECT_TRUE(WriteInstallerFile(body));
  EXPECT_EQ(ReadAll(installer), body);
  EXPECT_TRUE(WriteInstallerFile("MZ short"));
  EXPECT_EQ(ReadAll(installer), "MZ short") << "an existing installer is replaced whole";
  EXPECT_FALSE(Exists(installer + L".download"));
}

TEST_F(Installer, FailedWriteLeavesTheOldInstallerAsItWas) {
  ASSERT_TRUE(WriteInstallerFile("MZ the old installer"));
  // A folder where the partial file would go makes the write fail before anything is moved.
  const std::wstring blocker = installer + L".download";
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  EXPECT_FALSE(WriteInstallerFile(std::string(1000, 'x')));
  RemoveDirectoryW(blocker.c_str());
  EXPECT_EQ(ReadAll(installer), "MZ the old installer");
}

TEST_F(Installer, ReadyOnlyForANewerMostSignificantWord) {
  Install(L"update_probe_1_2_0_5.exe");
  EXPECT_FALSE(IsInstallerReady()) << "no installer file";
  Place(L"update_probe_1_3_0_0.exe");
  EXPECT_TRUE(IsInstallerReady());
  Place(L"update_probe_1_2_0_6.exe");
  EXPECT_FALSE(IsInstallerReady()) << "build and revision take no part";
  Install(L"update_probe_1_3_0_0.exe");
  EXPECT_FALSE(IsInstallerReady()) << "older than the installed client";
}

TEST_F(Installer, LaunchStartsTheInstallerSilently) {
  Place(L"update_test_recorder.exe");
  EXPECT_TRUE(LaunchInstaller());
  const std::string log = WaitForLog(installer);
  EXPECT_NE(log.find(" /S"), std::string::npos) << log;
  EXPECT_NE(log.find("wmain_show=1 "), std::string::npos) << "SW_SHOWNORMAL: " << log;
}

TEST_F(Installer, AnInstallerWithoutItsSignatureIsNeitherReadyNorStartedNorKept) {
  Install(L"update_probe_1_2_0_5.exe");
  Place(L"update_probe_1_3_0_0.exe", L"");  // planted: no signature
  EXPECT_FALSE(IsInstallerReady());
  EXPECT_TRUE(NothingLeft());
  Place(L"update_probe_1_3_0_0.exe", L"update_probe_1_2_0_6.exe");  // another file's signature
  EXPECT_FALSE(IsInstallerReady());
  EXPECT_TRUE(NothingLeft());

  Place(L"update_test_recorder.exe");
  std::ofstream(installer.c_str(), std::ios::binary | std::ios::app) << '\0';  // one byte more
  EXPECT_FALSE(LaunchInstaller());
  EXPECT_TRUE(NothingLeft());
  Place(L"update_test_recorder.exe", L"");
  EXPECT_FALSE(LaunchInstaller());
  EXPECT_TRUE(NothingLeft());
  Sleep(1000);
  EXPECT_EQ(ReadAll(installer + L".log"), "") << "nothing was started";
}

// Between the last verification and the start, the file is held: it can be neither written,
// replaced nor deleted, so the bytes that start are the bytes that were verified.
struct Tampering {
  static std::wstring installer, other;
  static bool written, replaced, deleted;
  static void Try() {
    HANDLE file = CreateFileW(installer.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    written = file != INVALID_HANDLE_VALUE;
    if (written) CloseHandle(file);
    replaced = MoveFileExW(other.c_str(), installer.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    deleted = DeleteFileW(installer.c_str()) != FALSE;
  }
};
std::wstring Tampering::installer, Tampering::other;
bool Tampering::written, Tampering::replaced, Tampering::deleted;

TEST_F(Installer, TheVerifiedBytesAreTheBytesThatStart) {
  Place(L"update_test_recorder.exe");
  Tampering::installer = installer;
  Tampering::other = installer + L".other";
  ASSERT_TRUE(CopyFileW(Probe(L"update_probe_1_3_0_0.exe").c_str(), Tampering::other.c_str(), FALSE));
  SetBeforeInstallerStartForTesting(&Tampering::Try);
  EXPECT_TRUE(LaunchInstaller());
  SetBeforeInstallerStartForTesting(nullptr);
  EXPECT_FALSE(Tampering::written);
  EXPECT_FALSE(Tampering::replaced);
  EXPECT_FALSE(Tampering::deleted);
  EXPECT_NE(WaitForLog(installer).find(" /S"), std::string::npos) << "the verified recorder ran";
  DeleteFileW(Tampering::other.c_str());
}

TEST(RunProgram, MissingFileIsFalse) {
  EXPECT_FALSE(RunProgram(GetProgramFolder() + L"\\no_such_program.exe", L"", false, SW_HIDE));
}

TEST(RunProgram, WaitsForTheProgramWhenAsked) {
  const std::wstring copy = GetProgramFolder() + L"\\run_program_copy.exe";
  DeleteFileW((copy + L".log").c_str());
  ASSERT_TRUE(CopyFileW(Probe(L"update_test_recorder.exe").c_str(), copy.c_str(), FALSE));
  EXPECT_TRUE(RunProgram(copy, L"a b", true, SW_SHOWMINIMIZED));
  const std::string log = ReadAll(copy + L".log");  // written before the wait ended
  EXPECT_NE(log.find("wmain_show=2 "), std::string::npos) << log;
  EXPECT_NE(log.find(" a b"), std::string::npos) << log;
  DeleteFileW((copy + L".log").c_str());
  DeleteFileW(copy.c_str());
}

TEST(StageUpdater, CopiesUpdateExeAndStartsTheCopyHidden) {
  const std::wstring source = GetProgramFolder() + L"\\update.exe";
  const std::wstring copy = GetUpdaterCopyPath();
  DeleteFileW(copy.c_str());
  DeleteFileW((copy + L".log").c_str());
  ASSERT_TRUE(CopyFileW(Probe(L"update_test_recorder.exe").c_str(), source.c_str(), FALSE));
  EXPECT_TRUE(StageUpdater());
  const std::string log = WaitForLog(copy);
  EXPECT_NE(log.find("wmain_show=0 "), std::string::npos) << "SW_HIDE: " << log;
  DeleteFileW(source.c_str());
  DeleteFileW((copy + L".log").c_str());
  // Without update.exe beside the program the earlier copy is still started.
  EXPECT_TRUE(StageUpdater());
  EXPECT_FALSE(WaitForLog(copy).empty());
  DeleteFileW((copy + L".log").c_str());
  DeleteFileW(copy.c_str());
}

TEST(CreateDirectoryTree, CreatesMissingParentsAndFailsOnAMissingDrive) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"corvane_tree_" + std::to_wstring(GetCurrentProcessId());
  EXPECT_TRUE(CreateDirectoryTree(root + L"\\a\\b\\c"));
  EXPECT_TRUE(Exists(root + L"\\a\\b\\c"));
  EXPECT_TRUE(CreateDirectoryTree(root + L"\\a\\b\\c\\")) << "an existing folder is no error";
  for (const wchar_t* sub : {L"\\a\\b\\c", L"\\a\\b", L"\\a", L""}) RemoveDirectoryW((root + sub).c_str());
  ASSERT_EQ(GetDriveTypeW(L"R:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the test needs R: unmapped";
  EXPECT_FALSE(CreateDirectoryTree(L"R:\\corvane\\x"));
}

}  // namespace
}  // namespace corvane
