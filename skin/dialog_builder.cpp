// Layout parsing with tinyxml2: the Window element, its Font elements and the control tree.
#include "skin/dialog_builder.h"

#include <tinyxml2.h>

#include "skin/button.h"
#include "skin/container.h"
#include "skin/label.h"
#include "skin/progress.h"
#include "base/utf8.h"

namespace corvane {
namespace {

// Deeper trees than this are refused (a hostile layout must not exhaust the stack).
constexpr int kMaxDepth = 64;

bool EndsWith(const std::wstring& s, const wchar_t* suffix) {
  const std::wstring tail(suffix);
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class Builder {
 public:
  Builder(const IResourceSource* images, IDialogBuilderCallback* callback, UiBuildResult& result)
      : m_images(images), m_callback(callback), m_result(result) {}

  void ReadWindow(const tinyxml2::XMLElement& window) {
    UiWindowAttributes& w = m_result.window;
    for (const tinyxml2::XMLAttribute* a = window.FirstAttribute(); a; a = a->Next()) {
      const std::wstring name = Utf8ToWide(a->Name());
      const std::wstring value = Utf8ToWide(a->Value());
      bool known = true;
      if (name == L"size") w.size = ParseSize(value).value_or(UiSize{});
      else if (name == L"caption") w.caption = ParseRect(value).value_or(UiRect{});
      else if (name == L"sizebox") w.sizeBox = ParseRect(value).value_or(UiRect{});
      else if (name == L"mininfo") w.minInfo = ParseSize(value).value_or(UiSize{});
      else if (name == L"maxinfo") w.maxInfo = ParseSize(value).value_or(UiSize{});
      else if (name == L"roundcorner") w.roundCorner = ParseInt(value).value_or(0);
      else if (name == L"bkcolor") w.bkColor = ParseColor(value).value_or(w.bkColor);
      else known = false;
      if (!known) Note(L"unknown attribute \"" + name + L"\" on Window");
    }
    std::vector<std::unique_ptr<CControlUI>> roots;
    for (const tinyxml2::XMLElement* e = window.FirstChildElement(); e; e = e->NextSiblingElement()) {
      const std::wstring kind = Utf8ToWide(e->Name());
      if (kind == L"Font") {
        ReadFont(*e);
      } else if (auto control = BuildControl(*e, 1)) {
        roots.push_back(std::move(control));
      }
    }
    if (roots.size() == 1) {
      m_result.root = std::move(roots.front());
    } else if (roots.size() > 1) {
      auto wrapper = std::make_unique<CVerticalLayoutUI>();
      for (auto& r : roots) wrapper->Add(std::move(r));
      m_result.root = std::move(wrapper);
    }
  }

 private:
  void Note(std::wstring text) { m_result.diagnostics.push_back(std::move(text)); }

  void ReadFont(const tinyxml2::XMLElement& e) {
    UiFont font;
    bool isDefault = false;
    for (const tinyxml2::XMLAttribute* a = e.FirstAttribute(); a; a = a->Next()) {
      const std::wstring name = Utf8ToWide(a->Name());
      const std::wstring value = Utf8ToWide(a->Value());
      if (name == L"id") font.id = ParseInt(value).value_or(0);
      else if (name == L"name") font.face = value;
      else if (name == L"size") font.size = ParseInt(value).value_or(12);
      else if (name == L"bold") font.bold = ParseBool(value).value_or(false);
      else if (name == L"underline") font.underline = ParseBool(value).value_or(false);
      else if (name == L"default") isDefault = ParseBool(value).value_or(false);
      else Note(L"unknown attribute \"" + name + L"\" on Font");
    }
    if (font.size <= 0) font.size = 12;
    if (isDefault || m_result.window.defaultFont < 0) m_result.window.defaultFont = font.id;
    m_result.window.fonts.push_back(font);
  }

  std::unique_ptr<CControlUI> BuildControl(const tinyxml2::XMLElement& e, int depth) {
    const std::wstring kind = Utf8ToWide(e.Name());
    if (depth > kMaxDepth) {
      Note(L"layout nested deeper than " + std::to_wstring(kMaxDepth) + L" levels: \"" + kind + L"\" left out");
      return nullptr;
    }
    std::unique_ptr<CControlUI> control = CDialogBuilder::CreateBuiltinControl(kind);
    if (!control && m_callback) control.reset(m_callback->CreateControl(kind.c_str()));
    if (!control) {
      Note(L"unknown control kind \"" + kind + L"\" left out");
      return nullptr;
    }
    for (const tinyxml2::XMLAttribute* a = e.FirstAttribute(); a; a = a->Next()) {
      const std::wstring name = Utf8ToWide(a->Name());
      const std::wstring value = Utf8ToWide(a->Value());
      if (!control->SetAttribute(name, value)) {
        Note(L"unknown attribute \"" + name + L"\" on " + kind + L" ignored");
      } else if (EndsWith(name, L"image") && !value.empty() && m_images &&
                 !m_images->Exists(ParseImageSpec(value).file)) {
        Note(L"image \"" + ParseImageSpec(value).file + L"\" of " + kind + L" \"" + control->GetName().str() + L"\" is not in the skin");
      }
    }
    auto* container = dynamic_cast<CContainerUI*>(control.get());
    for (const tinyxml2::XMLElement* child = e.FirstChildElement(); child; child = child->NextSiblingElement()) {
      if (container == nullptr) {
        Note(L"\"" + kind + L"\" holds no children: \"" + Utf8ToWide(child->Name()) + L"\" left out");
        continue;
      }
      if (auto built = BuildControl(*child, depth + 1)) container->Add(std::move(built));
    }
    return control;
  }

  const IResourceSource* m_images;
  IDialogBuilderCallback* m_callback;
  UiBuildResult& m_result;
};

}  // namespace

std::unique_ptr<CControlUI> CDialogBuilder::CreateBuiltinControl(const std::wstring& kind) {
  if (kind == L"Control") return std::make_unique<CControlUI>();
  if (kind == L"Container") return std::make_unique<CContainerUI>();
  if (kind == L"VerticalLayout") return std::make_unique<CVerticalLayoutUI>();
  if (kind == L"HorizontalLayout") return std::make_unique<CHorizontalLayoutUI>();
  if (kind == L"Label") return std::make_unique<CLabelUI>();
  if (kind == L"Text") return std::make_unique<CTextUI>();
  if (kind == L"Button") return std::make_unique<CButtonUI>();
  if (kind == L"Option") return std::make_unique<COptionUI>();
  if (kind == L"CheckBox") return std::make_unique<CCheckBoxUI>();
  if (kind == L"Progress") return std::make_unique<CProgressUI>();
  return nullptr;
}

UiBuildResult CDialogBuilder::Build(const std::string& xml, const IResourceSource* images,
                                    IDialogBuilderCallback* callback) {
  UiBuildResult result;
  tinyxml2::XMLDocument doc;
  if (doc.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) {
    result.diagnostics.push_back(L"malformed layout: " + Utf8ToWide(doc.ErrorStr() ? doc.ErrorStr() : ""));
    return result;
  }
  const tinyxml2::XMLElement* window = doc.RootElement();
  if (window == nullptr || std::string(window->Name()) != "Window") {
    result.diagnostics.push_back(L"layout has no Window element");
    return result;
  }
  Builder(images, callback, result).ReadWindow(*window);
  if (!result.root) result.diagnostics.push_back(L"layout defines no control");
  return result;
}

}  // namespace corvane
