// Decoding the policies and reading the policy file's text.
#include "client/policy/machine_policy.h"

#include <cwctype>

#include "base/utf8.h"
#include "client/policy/policy_names.h"

namespace corvane {
namespace {

constexpr wchar_t kBlanks[] = L" \t\r\n";

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring::npos) return L"";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// ASCII only: a Turkish or other locale must not turn "EXIT" into something else.
std::wstring AsciiLower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

// Shown as it came, but short and on one line, whatever an administrator or a stray tool put
// there.
std::string Quoted(const std::wstring& text) {
  std::wstring shown;
  for (wchar_t c : text.substr(0, 64)) shown += (c < 0x20 || c == 0x7F) ? L'?' : c;
  if (text.size() > 64) shown += L"...";
  return "\"" + WideToUtf8(shown) + "\"";
}

std::string Problem(const std::wstring& name, const std::string& what) {
  return "policy " + Quoted(name) + ": " + what + "; ignored";
}

std::optional<bool> DecodeUpdateCheck(const PolicyValue& value, PolicyForm form, std::vector<std::string>& problems) {
  if (form == PolicyForm::Registry && value.kind != PolicyValue::Kind::Number) {
    problems.push_back(Problem(value.name, "not a REG_DWORD"));
    return std::nullopt;
  }
  if (value.kind == PolicyValue::Kind::Number && value.number <= 1) return value.number == 1;
  const std::wstring text = Trim(value.text);
  if (value.kind == PolicyValue::Kind::Text && (text == L"0" || text == L"1")) return text == L"1";
  problems.push_back(Problem(value.name, value.kind == PolicyValue::Kind::Number
                                             ? std::to_string(value.number) + " is neither 0 nor 1"
                                             : Quoted(value.text) + " is neither 0 nor 1"));
  return std::nullopt;
}

std::optional<CloseBehavior> DecodeCloseBehavior(const PolicyValue& value, std::vector<std::string>& problems) {
  if (value.kind != PolicyValue::Kind::Text) {
    problems.push_back(Problem(value.name, "not a REG_SZ"));
    return std::nullopt;
  }
  const std::wstring text = AsciiLower(Trim(value.text));
  if (text == L"ask") return CloseBehavior::Ask;
  if (text == L"minimize") return CloseBehavior::Minimize;
  if (text == L"exit") return CloseBehavior::Exit;
  problems.push_back(Problem(value.name, Quoted(value.text) + " is none of ask, minimize, exit"));
  return std::nullopt;
}

}  // namespace

MachinePolicy DecodePolicy(const std::vector<PolicyValue>& values, PolicyForm form, std::vector<std::string>& problems) {
  MachinePolicy policy;
  for (const PolicyValue& value : values) {
    // Registry value names are case-insensitive on Windows; the file follows suit.
    const std::wstring name = AsciiLower(value.name);
    if (name == AsciiLower(kUpdateCheckPolicy)) {
      if (auto decoded = DecodeUpdateCheck(value, form, problems)) policy.updateCheck = decoded;
    } else if (name == AsciiLower(kCloseBehaviorPolicy)) {
      if (auto decoded = DecodeCloseBehavior(value, problems)) policy.closeBehavior = decoded;
    } else {
      problems.push_back(Problem(value.name, "unknown"));
    }
  }
  return policy;
}

std::vector<PolicyValue> ParsePolicyFile(const std::string& text, std::vector<std::string>& problems) {
  std::vector<PolicyValue> values;
  const std::wstring section = Utf8ToWide(kPolicyFileSection);
  std::wstring current;
  bool reportedSection = false;
  size_t start = 0;
  for (int lineNumber = 1; start <= text.size(); ++lineNumber) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::wstring line = Trim(Utf8ToWide(std::string_view(text).substr(start, end - start)));
    start = end + 1;
    if (line.empty() || line[0] == L'#' || line[0] == L';') continue;
    const std::string where = "policy file line " + std::to_string(lineNumber);
    if (line.front() == L'[') {
      if (line.back() != L']') {
        problems.push_back(where + ": not a section header; ignored");
        current.clear();  // what follows belongs to no known section
      } else {
        current = Trim(line.substr(1, line.size() - 2));
      }
      reportedSection = false;
      continue;
    }
    if (current != section) {
      if (!reportedSection) problems.push_back(where + ": outside the [" + kPolicyFileSection + "] section; ignored");
      reportedSection = true;
      continue;
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos || equals == 0) {
      problems.push_back(where + ": not a name=value line; ignored");
      continue;
    }
    PolicyValue value;
    value.name = Trim(line.substr(0, equals));
    value.kind = PolicyValue::Kind::Text;
    value.text = Trim(line.substr(equals + 1));
    values.push_back(std::move(value));
  }
  return values;
}

CloseFlags EffectiveCloseFlags(bool closePrompt, bool exitOnClose, const MachinePolicy& policy) {
  if (!policy.closeBehavior) return CloseFlags{closePrompt, exitOnClose};
  switch (*policy.closeBehavior) {
    case CloseBehavior::Ask:
      return CloseFlags{true, exitOnClose};
    case CloseBehavior::Minimize:
      return CloseFlags{false, false};
    case CloseBehavior::Exit:
      return CloseFlags{false, true};
  }
  return CloseFlags{closePrompt, exitOnClose};
}

}  // namespace corvane
