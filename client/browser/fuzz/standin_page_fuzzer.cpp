// Fuzzes what the Windows stand-in runtime reads of a page from the network (title, text,
// links) and of a pasted CF_HTML entry. Checks, besides the sanitizers: the title, the text and
// each link's text are folded (no tab or CR, no doubled space, no empty line, no space at a
// line's ends), and every link resolves to an absolute address, one without a scheme of its
// own on the page's host.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "client/browser/standin/standin_page.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckFolded(const std::wstring& text) {
  for (const wchar_t* bad : {L"\t", L"\r", L"  ", L"\n\n", L" \n", L"\n "}) Check(text.find(bad) == std::wstring::npos);
  Check(text.empty() || (text.front() != L' ' && text.front() != L'\n' && text.back() != L' ' && text.back() != L'\n'));
}

// "http:", "mailto:", "x+y.z-1:": RFC 3986's scheme, then a colon.
size_t SchemeLength(const std::wstring& url) {
  size_t i = 0;
  const auto letter = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); };
  while (i < url.size() && (letter(url[i]) || (i > 0 && ((url[i] >= L'0' && url[i] <= L'9') || url[i] == L'+' ||
                                                       url[i] == L'-' || url[i] == L'.')))) {
    ++i;
  }
  return i > 0 && i < url.size() && url[i] == L':' ? i : 0;
}

void CheckResolved(const std::wstring& base, const std::wstring& origin, const std::wstring& href) {
  const std::wstring url = corvane::ResolveUrl(base, href);
  Check(SchemeLength(url) > 0);
  if (SchemeLength(href) > 0) return;
  Check(url.compare(0, origin.size(), origin) == 0);
  Check(url.size() == origin.size() || std::wstring(L"/?#").find(url[origin.size()]) != std::wstring::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string html(reinterpret_cast<const char*>(data), size);
  const corvane::PageText page = corvane::ExtractPageText(html);
  CheckFolded(page.title);
  CheckFolded(page.text);
  for (const corvane::PageLink& link : page.links) {
    CheckFolded(link.text);
    CheckResolved(L"http://school.example:8765/hw/list.aspx?week=3#due", L"http://school.example:8765", link.href);
    CheckResolved(L"http://school.example", L"http://school.example", link.href);
  }
  corvane::ClipboardHtmlFragment(html);  // the sanitizers' check only: any entry may be pasted
  return 0;
}
