// AptSourceEnabled over libapt-pkg's tag file parser, as apt reads sources.list.d.
#include "client/update/apt_source.h"

#include <apt-pkg/error.h>
#include <apt-pkg/fileutl.h>
#include <apt-pkg/tagfile.h>

namespace corvane {

bool AptSourceEnabled(const std::string& path) {
  // apt's calls leave their errors on its global stack: none of them outlives this call.
  _error->PushToStack();
  bool enabled = false;
  if (RealFileExists(path)) {
    FileFd file(path, FileFd::ReadOnly);
    if (file.IsOpen() && !file.Failed()) {
      pkgTagFile tags(&file, pkgTagFile::SUPPORT_COMMENTS);
      pkgTagSection stanza;
      // A malformed stanza ends the reading; the stanzas before it still count.
      while (!enabled && tags.Step(stanza)) {
        // apt skips a stanza only when it has "Enabled:" and reads it as false.
        enabled = !stanza.Exists("Enabled") || stanza.FindB("Enabled", true);
      }
    }
  }
  _error->RevertToStack();
  return enabled;
}

const char* SystemUpdatesLine() { return "新版本将随系统更新一起安装。"; }

}  // namespace corvane
