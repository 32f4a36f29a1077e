// The Linux settings store against real files under a private $XDG_CONFIG_HOME: the place, the
// values as read, and that a copy writes only what it changed, whole, through a rename.
#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/utf8.h"
#include "client/ui/client_settings.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class LinuxSettings : public ::testing::Test {
 protected:
  // GLib reads $XDG_CONFIG_HOME once per process: one private folder for the whole suite.
  static void SetUpTestSuite() {
    gchar* dir = g_dir_make_tmp("corvane-settings-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    s_home = dir;
    g_free(dir);
    g_setenv("XDG_CONFIG_HOME", s_home.c_str(), TRUE);
  }
  static void TearDownTestSuite() { fs::remove_all(s_home); }
  void SetUp() override { m_ini = s_home / "corvane" / "CorvaneClient.ini"; }
  void TearDown() override { fs::remove_all(s_home / "corvane"); }
  std::string Text() const {
    std::ifstream in(m_ini);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Write(const std::string& text) const {
    fs::create_directories(m_ini.parent_path());
    std::ofstream(m_ini) << text;
  }

  static inline fs::path s_home;
  fs::path m_ini;
};

TEST_F(LinuxSettings, LivesUnderTheConfigFolderAndReadsAnyNonZeroAsTrue) {
  {
    CClientSettings s;
    EXPECT_EQ(WideToUtf8(s.FilePath()), m_ini.string());
    EXPECT_FALSE(s.m_bClosePrompt);
    EXPECT_FALSE(s.m_bExitOnClose);
  }
  EXPECT_FALSE(fs::exists(m_ini)) << "nothing changed, nothing written";
  Write("[setting]\nmin_close=2\n");
  CClientSettings s;
  EXPECT_TRUE(s.m_bExitOnClose);
  EXPECT_FALSE(s.m_bClosePrompt) << "missing reads as 0";
  s.m_bClosePrompt = true;
  s.Save();
  EXPECT_EQ(Text(), "[setting]\nmin_close=2\n") << "not written until this process may write";
}

TEST_F(LinuxSettings, AMalformedZoomLevelIsIgnoredAndAChosenOneIsKept) {
  for (const char* bad : {"zoom_level=12x\n", "zoom_level=1000\n", "zoom_level=-125\n", "zoom_level=\n"}) {
    Write(std::string("[setting]\nmin_close=1\n") + bad);
    EXPECT_EQ(CClientSettings().m_nZoomLevel, 100) << bad;
  }
  Write("[setting]\nmin_close=1\nzoom_level=150\n");
  CClientSettings s(CClientSettings().FilePath());
  EXPECT_EQ(s.m_nZoomLevel, 150);
  s.m_nZoomLevel = 175;
  s.Save();
  EXPECT_EQ(Text(), "[setting]\nmin_close=1\nzoom_level=175\n");
}

TEST_F(LinuxSettings, ACopyWritesOnlyWhatItChangedAndKeepsTheOthersChoices) {
  Write("# the client's settings\n[setting]\nclose_prompt=1\nmin_close=0\n");
  CClientSettings browser;  // loaded first, changes min_close later
  browser.AllowWriting();
  {
    CClientSettings dialog(browser.FilePath());  // another writer of the same file
    dialog.m_bClosePrompt = false;  // the prompt's box ticked
    dialog.Save();
    EXPECT_NE(Text().find("close_prompt=0"), std::string::npos) << Text();
  }
  browser.m_bExitOnClose = true;
  browser.Save();
  const std::string text = Text();
  EXPECT_NE(text.find("min_close=1"), std::string::npos) << text;
  EXPECT_NE(text.find("close_prompt=0"), std::string::npos) << "the other copy's choice stays: " << text;
  EXPECT_NE(text.find("# the client's settings"), std::string::npos) << "comments survive";
  // Only the file itself in the folder: the temporary file was renamed over it.
  int entries = 0;
  for (const auto& e : fs::directory_iterator(m_ini.parent_path())) entries += e.path() == m_ini ? 1 : 100;
  EXPECT_EQ(entries, 1);
  // Saved again unchanged, nothing is rewritten: another process's later change stays.
  Write("[setting]\nclose_prompt=1\nmin_close=1\n");
  browser.Save();
  EXPECT_NE(Text().find("close_prompt=1"), std::string::npos);
}

}  // namespace
}  // namespace corvane
