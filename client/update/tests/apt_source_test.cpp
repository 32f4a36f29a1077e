// AptSourceEnabled on real files: the package's own source as its postinst writes it, an
// administrator's "Enabled:" in apt's spellings, comments, several stanzas, and no file at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "client/update/apt_source.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

TEST(AptSource, EnabledAsAptReadsIt) {
  const fs::path folder = fs::temp_directory_path() / ("apt_source_test." + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string path = (folder / "corvane-client.sources").string();
  std::ifstream templ(std::string(std::getenv("CORVANE_TEST_SOURCE_DIR")) +
                      "/packaging/linux/corvane-client.sources.in");
  const std::string shipped((std::istreambuf_iterator<char>(templ)), std::istreambuf_iterator<char>());
  ASSERT_NE(shipped.find("\nSigned-By: /usr/share/keyrings/corvane-client-archive-keyring.gpg\n"), std::string::npos);

  EXPECT_FALSE(AptSourceEnabled(path)) << "no file";
  EXPECT_FALSE(AptSourceEnabled(folder.string())) << "a folder";
  const struct {
    std::string text;
    bool enabled;
  } cases[] = {
      {shipped, true},
      {shipped + "Enabled: no\n", false},
      {shipped + "Enabled: yes\n", true},
      {shipped + "enabled: No\n", false},  // field names and values are read as apt reads them
      {shipped + "Enabled: false\n", false},
      {shipped + "Enabled: off\n", false},
      {shipped + "Enabled: 0\n", false},
      {shipped + "# Enabled: no\n", true},  // a comment
      {"# nothing but comments\n", false},
      {"", false},
      {shipped + "Enabled: no\n\nTypes: deb\nURIs: http://mirror.school.example/drovessa\nSuites: stable\n"
                 "Components: main\n",
       true},  // another stanza apt uses
      {shipped + "Enabled: no\n\nTypes: deb\nURIs: http://x/\nSuites: stable\nEnabled: false\n", false},
  };
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::trunc) << c.text;
    EXPECT_EQ(AptSourceEnabled(path), c.enabled) << c.text;
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace corvane
