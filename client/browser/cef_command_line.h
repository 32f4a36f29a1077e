// The runtime's command-line object: a program name, switches ("--name" or "--name=value")
// and the remaining arguments, read from the text of a Windows command line.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "client/browser/cef_base.h"
#include "client/browser/cef_string.h"

class CefCommandLine : public virtual CefBaseRefCounted {
 public:
  // A new, empty command line (cef_command_line_create).
  static CefRefPtr<CefCommandLine> CreateCommandLine();

  // Replaces the contents with the parse of `command_line` (program name first).
  virtual void InitFromString(const CefString& command_line) = 0;
  virtual CefString GetProgram() = 0;
  // True when the switch is present, with or without a value. Names are case-insensitive.
  virtual bool HasSwitch(const CefString& name) = 0;
  // The switch's value; empty when absent or given without a value.
  virtual CefString GetSwitchValue(const CefString& name) = 0;
  virtual void AppendSwitch(const CefString& name) = 0;
  virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;
  virtual std::vector<CefString> GetArguments() = 0;
  // Program, switches in name order, then arguments, quoted where needed.
  virtual CefString GetCommandLineString() = 0;
};

namespace corvane {
// Splits command-line text into arguments with the rules of the Windows C runtime
// (CommandLineToArgvW): the program name ends at a space unless quoted; later arguments honour
// quotes and backslash escapes before quotes.
std::vector<std::wstring> SplitCommandLine(const std::wstring& text);
}  // namespace corvane

CefRefPtr<CefCommandLine> cef_command_line_create();
