// The folder of the running executable, without a trailing backslash: the INI file, the error
// page, the skin and the updater all live beside the program.
#pragma once

#include <string>

namespace corvane {

std::wstring GetProgramFolder();

}  // namespace corvane
