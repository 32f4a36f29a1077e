// The machine-wide policies an administrator sets, decoded from the values a platform reads
// (the registry's typed values, or the policy file's text). Portable: no registry, no files.
// A value that is malformed, of the wrong type or of an unknown name is left out and described
// in one line of `problems`; nothing here stops the client.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

enum class CloseBehavior { Ask, Minimize, Exit };

struct MachinePolicy {
  std::optional<bool> updateCheck;               // absent: the user's client checks as usual
  std::optional<CloseBehavior> closeBehavior;    // absent: the user's choice rules
  bool UpdatesOff() const { return updateCheck == false; }
};

// One value as read: the registry gives numbers (REG_DWORD) and texts (REG_SZ), the file only
// texts; anything else the registry holds is `Other`.
struct PolicyValue {
  enum class Kind { Number, Text, Other };
  std::wstring name;
  Kind kind = Kind::Other;
  uint32_t number = 0;
  std::wstring text;
};

// Where the values came from: the registry is typed (UpdateCheck must be a REG_DWORD), the
// file is text (UpdateCheck is the digit 0 or 1).
enum class PolicyForm { Registry, File };

MachinePolicy DecodePolicy(const std::vector<PolicyValue>& values, PolicyForm form, std::vector<std::string>& problems);

// The values of the policy file's "[policy]" section (UTF-8; "#" and ";" start comment lines;
// names and values trimmed). A line that is not a name=value pair, and every entry of another
// section, is left out with a problem line. A name given twice: the last good value counts.
std::vector<PolicyValue> ParsePolicyFile(const std::string& text, std::vector<std::string>& problems);

// The close flags the client acts on: the user's (close prompt, exit on close) unless a policy
// fixes them. The user's stored flags stay as they are.
struct CloseFlags {
  bool closePrompt;
  bool exitOnClose;
};
CloseFlags EffectiveCloseFlags(bool closePrompt, bool exitOnClose, const MachinePolicy& policy);

}  // namespace corvane
