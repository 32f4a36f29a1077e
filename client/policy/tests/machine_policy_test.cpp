// The policy reader natively: the registry's typed values and the file's text decoded alike,
// every bad value left out with one problem line, the close flags a policy fixes, and the file
// reader's checks on a real file (the test build's path, owned by whoever runs the test).
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "client/policy/machine_policy.h"
#include "client/policy/machine_policy_source.h"
#include "client/policy/policy_names.h"

namespace corvane {
namespace {

PolicyValue Number(const wchar_t* name, uint32_t number) {
  PolicyValue v;
  v.name = name;
  v.kind = PolicyValue::Kind::Number;
  v.number = number;
  return v;
}
PolicyValue Text(const wchar_t* name, const wchar_t* text) {
  PolicyValue v;
  v.name = name;
  v.kind = PolicyValue::Kind::Text;
  v.text = text;
  return v;
}
PolicyValue Other(const wchar_t* name) {
  PolicyValue v;
  v.name = name;
  return v;
}

TEST(MachinePolicy, RegistryValuesOfTheRightTypeCountAndEveryOtherOneIsReportedOnce) {
  std::vector<std::string> problems;
  MachinePolicy p = DecodePolicy({Number(kUpdateCheckPolicy, 0), Text(kCloseBehaviorPolicy, L" Minimize ")},
                                 PolicyForm::Registry, problems);
  EXPECT_EQ(p.updateCheck, false);
  EXPECT_TRUE(p.UpdatesOff());
  EXPECT_EQ(p.closeBehavior, CloseBehavior::Minimize);
  EXPECT_TRUE(problems.empty());

  // Names are case-insensitive, as registry names are; a bad value after a good one keeps the
  // good one.
  p = DecodePolicy({Number(L"updatecheck", 1), Text(L"CLOSEBEHAVIOR", L"exit"), Text(kUpdateCheckPolicy, L"0"),
                    Number(kCloseBehaviorPolicy, 2), Number(kUpdateCheckPolicy, 2), Other(kUpdateCheckPolicy),
                    Text(kCloseBehaviorPolicy, L"quit\nnow"), Number(L"AutoUpdate", 0)},
                   PolicyForm::Registry, problems);
  EXPECT_EQ(p.updateCheck, true);
  EXPECT_FALSE(p.UpdatesOff());
  EXPECT_EQ(p.closeBehavior, CloseBehavior::Exit);
  ASSERT_EQ(problems.size(), 6u);
  EXPECT_EQ(problems[0], "policy \"UpdateCheck\": not a REG_DWORD; ignored");  // REG_SZ "0"
  EXPECT_EQ(problems[1], "policy \"CloseBehavior\": not a REG_SZ; ignored");
  EXPECT_EQ(problems[2], "policy \"UpdateCheck\": 2 is neither 0 nor 1; ignored");
  EXPECT_EQ(problems[3], "policy \"UpdateCheck\": not a REG_DWORD; ignored");
  // Control characters never reach the one line.
  EXPECT_EQ(problems[4], "policy \"CloseBehavior\": \"quit?now\" is none of ask, minimize, exit; ignored");
  EXPECT_EQ(problems[5], "policy \"AutoUpdate\": unknown; ignored");

  problems.clear();
  p = DecodePolicy({}, PolicyForm::Registry, problems);
  EXPECT_FALSE(p.updateCheck.has_value());
  EXPECT_FALSE(p.UpdatesOff());
  EXPECT_FALSE(p.closeBehavior.has_value());
}

TEST(MachinePolicy, TheFileIsTextInItsPolicySectionAndEveryBadLineIsReportedWithItsNumber) {
  const std::string file =
      "# set by the school\n"
      "[other]\n"
      "UpdateCheck=0\n"
      "CloseBehavior=exit\n"
      "[policy]\r\n"
      "  UpdateCheck = 0  \r\n"
      "; the close\n"
      "CloseBehavior=ask\n"
      "CloseBehavior=sometimes\n"
      "just words\n"
      "=1\n"
      "UpdateCheck=yes\n"
      "Homepage=http://example.invalid/\n"
      "[broken\n"
      "CloseBehavior=minimize\n";
  std::vector<std::string> problems;
  const MachinePolicy p = DecodePolicy(ParsePolicyFile(file, problems), PolicyForm::File, problems);
  EXPECT_EQ(p.updateCheck, false);
  EXPECT_EQ(p.closeBehavior, CloseBehavior::Ask);
  const std::vector<std::string> expected = {
      "policy file line 3: outside the [policy] section; ignored",  // once per section
      "policy file line 10: not a name=value line; ignored",
      "policy file line 11: not a name=value line; ignored",
      "policy file line 14: not a section header; ignored",
      "policy file line 15: outside the [policy] section; ignored",
      "policy \"CloseBehavior\": \"sometimes\" is none of ask, minimize, exit; ignored",
      "policy \"UpdateCheck\": \"yes\" is neither 0 nor 1; ignored",
      "policy \"Homepage\": unknown; ignored",
  };
  EXPECT_EQ(problems, expected);

  problems.clear();
  EXPECT_TRUE(ParsePolicyFile("", problems).empty());
  EXPECT_TRUE(ParsePolicyFile(std::string("[policy]\nUpdateCheck=\xff\xfe\x00", 24), problems).size() == 1);
  EXPECT_TRUE(DecodePolicy(ParsePolicyFile("[policy]\nUpdateCheck=1", problems), PolicyForm::File, problems)
                  .updateCheck.value_or(false));
}

TEST(MachinePolicy, APolicyFixesTheCloseFlagsTheUserStoredOnlyWhileItIsSet) {
  const auto flags = [](bool prompt, bool exit, std::optional<CloseBehavior> behavior) {
    MachinePolicy policy;
    policy.closeBehavior = behavior;
    const CloseFlags f = EffectiveCloseFlags(prompt, exit, policy);
    return std::make_pair(f.closePrompt, f.exitOnClose);
  };
  EXPECT_EQ(flags(true, true, std::nullopt), std::make_pair(true, true));
  EXPECT_EQ(flags(false, false, CloseBehavior::Ask), std::make_pair(true, false));
  EXPECT_EQ(flags(true, true, CloseBehavior::Minimize), std::make_pair(false, false));
  EXPECT_EQ(flags(true, false, CloseBehavior::Exit), std::make_pair(false, true));
}

// The reader's own file (CORVANE_POLICY_FILE of this build), checked as the shipped client
// checks /etc/corvane/policy.ini.
class PolicyFile : public ::testing::Test {
 protected:
  void TearDown() override {
    std::remove(CORVANE_POLICY_FILE);
    std::remove(target.c_str());
  }
  void Write(const std::string& path, const std::string& text, mode_t mode) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
  }
  MachinePolicy Read(std::string& stderrText) {
    ::testing::internal::CaptureStderr();
    MachinePolicy p = ReadMachinePolicy();
    stderrText = ::testing::internal::GetCapturedStderr();
    return p;
  }
  const std::string target = std::string(CORVANE_POLICY_FILE) + ".managed";
};

TEST_F(PolicyFile, OnlyAFileNobodyButItsOwnerCanWriteIsReadAndALinkToOneIsFollowed) {
  std::string err;
  std::remove(CORVANE_POLICY_FILE);
  EXPECT_FALSE(Read(err).closeBehavior.has_value());
  EXPECT_EQ(err, "") << "no file is the usual case, not a problem";

  const std::string text = "[policy]\nUpdateCheck=0\nCloseBehavior=exit\nColour=blue\n";
  Write(CORVANE_POLICY_FILE, text, 0644);
  MachinePolicy p = Read(err);
  EXPECT_TRUE(p.UpdatesOff());
  EXPECT_EQ(p.closeBehavior, CloseBehavior::Exit);
  EXPECT_EQ(err, "corvane-client: policy \"Colour\": unknown; ignored\n");

  for (mode_t mode : {0664, 0646, 0666}) {
    ASSERT_EQ(chmod(CORVANE_POLICY_FILE, mode), 0);
    p = Read(err);
    EXPECT_FALSE(p.updateCheck.has_value() || p.closeBehavior.has_value()) << std::oct << mode;
    EXPECT_NE(err.find("writable by others than root"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  if (geteuid() == 0) {  // only root can give the file away
    ASSERT_EQ(chmod(CORVANE_POLICY_FILE, 0644), 0);
    ASSERT_EQ(chown(CORVANE_POLICY_FILE, 4321, 4321), 0);
    EXPECT_FALSE(Read(err).updateCheck.has_value());
    EXPECT_NE(err.find("writable by others than root"), std::string::npos) << err;
  }

  // A link to a file that is safe, as an administrator links a managed file: read. A link to
  // one that is not: refused, whatever the link itself looks like.
  std::remove(CORVANE_POLICY_FILE);
  Write(target, text, 0600);
  ASSERT_EQ(symlink(target.c_str(), CORVANE_POLICY_FILE), 0);
  EXPECT_EQ(Read(err).closeBehavior, CloseBehavior::Exit);
  ASSERT_EQ(chmod(target.c_str(), 0622), 0);
  EXPECT_FALSE(Read(err).closeBehavior.has_value());
  EXPECT_NE(err.find("writable by others than root"), std::string::npos) << err;

  // Not a file, and a file too large to be one of ours.
  std::remove(CORVANE_POLICY_FILE);
  ASSERT_EQ(mkdir(CORVANE_POLICY_FILE, 0755), 0);
  EXPECT_FALSE(Read(err).closeBehavior.has_value());
  EXPECT_EQ(err, std::string("corvane-client: ") + CORVANE_POLICY_FILE + ": not a regular file; ignored\n");
  rmdir(CORVANE_POLICY_FILE);
  Write(CORVANE_POLICY_FILE, text + std::string(70000, '#'), 0644);
  EXPECT_FALSE(Read(err).closeBehavior.has_value());
  EXPECT_NE(err.find("larger than 64 KiB"), std::string::npos) << err;
}

}  // namespace
}  // namespace corvane
