// The command-line object. Switch names are kept in lower case, as the runtime does on Windows,
// and "--" ends the switches.
#include "client/browser/cef_command_line.h"

#include <cwctype>

namespace corvane {

std::vector<std::wstring> SplitCommandLine(const std::wstring& text) {
  std::vector<std::wstring> args;
  size_t i = 0;
  const size_t n = text.size();
  // The program name: quotes group, backslashes are literal.
  {
    std::wstring program;
    bool quoted = false;
    while (i < n) {
      const wchar_t c = text[i];
      if (c == L'"') {
        quoted = !quoted;
      } else if (!quoted && (c == L' ' || c == L'\t')) {
        break;
      } else {
        program.push_back(c);
      }
      ++i;
    }
    if (!text.empty()) args.push_back(program);
  }
  while (true) {
    while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
    if (i >= n) break;
    std::wstring arg;
    bool quoted = false;
    while (i < n) {
      const wchar_t c = text[i];
      if (c == L'\\') {
        size_t slashes = 0;
        while (i < n && text[i] == L'\\') {
          ++slashes;
          ++i;
        }
        if (i < n && text[i] == L'"') {
          arg.append(slashes / 2, L'\\');
          if (slashes % 2 == 1) {
            arg.push_back(L'"');
            ++i;
          }
        } else {
          arg.append(slashes, L'\\');
        }
        continue;
      }
      if (c == L'"') {
        if (quoted && i + 1 < n && text[i + 1] == L'"') {  // "" inside quotes is one quote
          arg.push_back(L'"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && (c == L' ' || c == L'\t')) break;
      arg.push_back(c);
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out.push_back(c);
  }
  out.append(slashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

class CCommandLine final : public CefCommandLine {
 public:
  void InitFromString(const CefString& command_line) override {
    m_program.clear();
    m_switches.clear();
    m_arguments.clear();
    const std::vector<std::wstring> args = SplitCommandLine(command_line.ToWString());
    bool switchesEnded = false;
    for (size_t k = 0; k < args.size(); ++k) {
      if (k == 0) {
        m_program = args[0];
        continue;
      }
      const std::wstring& arg = args[k];
      if (!switchesEnded && arg == L"--") {
        switchesEnded = true;
        continue;
      }
      const size_t prefix = arg.rfind(L"--", 0) == 0 ? 2 : (arg.size() > 1 && (arg[0] == L'-' || arg[0] == L'/')) ? 1 : 0;
      if (switchesEnded || prefix == 0) {
        m_arguments.push_back(arg);
        continue;
      }
      const size_t equals = arg.find(L'=', prefix);
      const std::wstring name = arg.substr(prefix, equals == std::wstring::npos ? std::wstring::npos : equals - prefix);
      m_switches[Lower(name)] = equals == std::wstring::npos ? std::wstring() : arg.substr(equals + 1);
    }
  }
  CefString GetProgram() override { return m_program; }
  bool HasSwitch(const CefString& name) override { return m_switches.count(Lower(name.ToWString())) != 0; }
  CefString GetSwitchValue(const CefString& name) override {
    auto it = m_switches.find(Lower(name.ToWString()));
    return it == m_switches.end() ? CefString() : CefString(it->second);
  }
  void AppendSwitch(const CefString& name) override { m_switches[Lower(name.ToWString())]; }
  void AppendSwitchWithValue(const CefString& name, const CefString& value) override {
    m_switches[Lower(name.ToWString())] = value.ToWString();
  }
  std::vector<CefString> GetArguments() override { return {m_arguments.begin(), m_arguments.end()}; }
  CefString GetCommandLineString() override {
    std::wstring text = Quoted(m_program);
    for (const auto& [name, value] : m_switches) {
      text += L" " + Quoted(value.empty() ? L"--" + name : L"--" + name + L"=" + value);
    }
    if (!m_arguments.empty()) text += L" --";
    for (const std::wstring& arg : m_arguments) text += L" " + Quoted(arg);
    return text;
  }

 private:
  std::wstring m_program;
  std::map<std::wstring, std::wstring> m_switches;
  std::vector<std::wstring> m_arguments;
  IMPLEMENT_REFCOUNTING(CCommandLine);
};

}  // namespace
}  // namespace corvane

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new corvane::CCommandLine(); }

CefRefPtr<CefCommandLine> cef_command_line_create() { return CefCommandLine::CreateCommandLine(); }
