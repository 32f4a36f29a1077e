// CDialogBuilder: turns a layout (XML, UTF-8) into a control tree and the window's attributes
// (size, caption band, size box, fonts). Problems never stop the build: what cannot be built
// is left out and described in `diagnostics`.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/control.h"
#include "skin/resource_source.h"

namespace corvane {

// Lets a window supply controls of kinds the toolkit does not know. The returned control
// (allocated with new) is owned by the tree afterwards; null means "unknown".
class IDialogBuilderCallback {
 public:
  virtual CControlUI* CreateControl(const wchar_t* pstrClass) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

struct UiFont {
  int id = 0;
  std::wstring face;  // comma-separated faces, first installed one wins
  int size = 12;      // pixel height of the em
  bool bold = false;
  bool underline = false;
};

struct UiWindowAttributes {
  UiSize size;          // initial client size; 0 keeps the size given to Create
  UiRect caption;       // left, top, right margins and the band's height from the top
  UiRect sizeBox;       // resize borders
  UiSize minInfo;
  UiSize maxInfo;
  int roundCorner = 0;
  UiColor bkColor = 0xFFFFFFFFu;
  std::vector<UiFont> fonts;
  int defaultFont = -1;  // id of the default font; -1: the first
};

struct UiBuildResult {
  std::unique_ptr<CControlUI> root;  // null when nothing could be built
  UiWindowAttributes window;
  std::vector<std::wstring> diagnostics;
};

class CDialogBuilder {
 public:
  // `images` (may be null) is asked whether each image named by an attribute exists.
  static UiBuildResult Build(const std::string& xml, const IResourceSource* images,
                             IDialogBuilderCallback* callback);
  // A control of the toolkit's own kind, or null.
  static std::unique_ptr<CControlUI> CreateBuiltinControl(const std::wstring& kind);
};

}  // namespace corvane
