// Markup removal for the stand-in's view: tags dropped, entities decoded, white space folded.
#include "client/browser/standin/standin_page.h"

#include <cctype>
#include <cstdlib>

#include "base/utf8.h"

namespace corvane {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsBlockTag(const std::string& name) {
  static const char* const kBlocks[] = {"p", "div", "br", "h1", "h2", "h3", "h4", "h5", "h6", "li", "ul", "ol",
                                        "tr", "table", "section", "article", "header", "footer", "hr", "pre",
                                        "blockquote", "form", "body", "html", "title"};
  for (const char* block : kBlocks) {
    if (name == block) return true;
  }
  return false;
}

std::string DecodeEntities(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.push_back(text[i]);
      continue;
    }
    const size_t end = text.find(';', i);
    if (end == std::string::npos || end - i > 10) {
      out.push_back('&');
      continue;
    }
    const std::string name = text.substr(i + 1, end - i - 1);
    long code = -1;
    if (name == "amp") code = '&';
    else if (name == "lt") code = '<';
    else if (name == "gt") code = '>';
    else if (name == "quot") code = '"';
    else if (name == "apos" || name == "#39") code = '\'';
    else if (name == "nbsp") code = ' ';
    else if (name.size() > 1 && name[0] == '#') {
      code = (name[1] == 'x' || name[1] == 'X') ? std::strtol(name.c_str() + 2, nullptr, 16)
                                                 : std::strtol(name.c_str() + 1, nullptr, 10);
    }
    if (code <= 0 || code > 0x10FFFF) {
      out.push_back('&');
      continue;
    }
    out += WideToUtf8(std::wstring(1, static_cast<wchar_t>(code < 0x10000 || sizeof(wchar_t) == 4 ? code : 0xFFFD)));
    i = end;
  }
  return out;
}

// Folds runs of white space into one space, trims each line and drops empty lines.
std::wstring FoldWhiteSpace(const std::wstring& text) {
  std::wstring out;
  bool space = false;
  for (wchar_t c : text) {
    if (c == L'\n') {
      while (!out.empty() && out.back() == L' ') out.pop_back();
      if (!out.empty() && out.back() != L'\n') out.push_back(L'\n');
      space = false;
    } else if (c == L' ' || c == L'\t' || c == L'\r') {
      space = true;
    } else {
      if (space && !out.empty() && out.back() != L'\n') out.push_back(L' ');
      space = false;
      out.push_back(c);
    }
  }
  while (!out.empty() && (out.back() == L'\n' || out.back() == L' ')) out.pop_back();
  return out;
}

// The value of attribute `name` in the text of a start tag (without its angle brackets).
std::string Attribute(const std::string& tag, const std::string& name) {
  const std::string lower = Lower(tag);
  size_t at = 0;
  while ((at = lower.find(name, at)) != std::string::npos) {
    const bool startsWord = at > 0 && std::isspace(static_cast<unsigned char>(lower[at - 1]));
    size_t k = at + name.size();
    while (k < lower.size() && std::isspace(static_cast<unsigned char>(lower[k]))) ++k;
    if (!startsWord || k >= lower.size() || lower[k] != '=') {
      at += name.size();
      continue;
    }
    ++k;
    while (k < lower.size() && std::isspace(static_cast<unsigned char>(lower[k]))) ++k;
    if (k < tag.size() && (tag[k] == '"' || tag[k] == '\'')) {
      const size_t end = tag.find(tag[k], k + 1);
      return tag.substr(k + 1, end == std::string::npos ? std::string::npos : end - k - 1);
    }
    const size_t end = tag.find_first_of(" \t\r\n", k);
    return tag.substr(k, end == std::string::npos ? std::string::npos : end - k);
  }
  return std::string();
}

// True when `href` starts with a scheme of its own ("http:", "mailto:", "about:"): letters,
// then letters, digits, '+', '-' or '.', then ':'. "page?next=http://x" has none.
bool HasScheme(const std::wstring& href) {
  const auto letter = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); };
  size_t i = 0;
  while (i < href.size() && (letter(href[i]) || (i > 0 && ((href[i] >= L'0' && href[i] <= L'9') ||
                                                          href[i] == L'+' || href[i] == L'-' || href[i] == L'.')))) {
    ++i;
  }
  return i > 0 && i < href.size() && href[i] == L':';
}

}  // namespace

std::wstring ResolveUrl(const std::wstring& base, const std::wstring& href) {
  if (HasScheme(href)) return href;
  const size_t schemeEnd = base.find(L"://");
  if (schemeEnd == std::wstring::npos) return href;
  const size_t pathStart = base.find(L'/', schemeEnd + 3);
  const std::wstring origin = base.substr(0, pathStart);
  if (href.empty()) return base;
  if (href[0] == L'/') return origin + href;
  if (href[0] == L'#' || href[0] == L'?') return base.substr(0, base.find_first_of(href[0] == L'#' ? L"#" : L"?#")) + href;
  const size_t lastSlash = base.rfind(L'/');
  return (pathStart == std::wstring::npos ? origin + L"/" : base.substr(0, lastSlash + 1)) + href;
}

bool OpensNewWindow(const std::wstring& target) {
  return !target.empty() && target != L"_self" && target != L"_top" && target != L"_parent";
}

PageText ExtractPageText(const std::string& html) {
  PageText page;
  std::string text, title;
  bool inTitle = false;
  bool inLink = false;
  size_t linkTextStart = 0;
  size_t i = 0;
  while (i < html.size()) {
    if (html[i] != '<') {
      const size_t next = html.find('<', i);
      std::string run = html.substr(i, next == std::string::npos ? std::string::npos : next - i);
      for (char& c : run) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';  // only block elements break lines
      }
      (inTitle ? title : text) += run;
      if (next == std::string::npos) break;
      i = next;
      continue;
    }
    if (html.compare(i, 4, "<!--") == 0) {
      const size_t end = html.find("-->", i + 4);
      i = end == std::string::npos ? html.size() : end + 3;
      continue;
    }
    const size_t close = html.find('>', i);
    if (close == std::string::npos) break;
    std::string tag = Lower(html.substr(i + 1, close - i - 1));
    const bool closing = !tag.empty() && tag[0] == '/';
    if (closing) tag.erase(0, 1);
    const size_t nameEnd = tag.find_first_of(" \t\r\n/");
    const std::string name = tag.substr(0, nameEnd);
    i = close + 1;
    if (!closing && (name == "script" || name == "style")) {
      const size_t end = Lower(html.substr(i)).find("</" + name);
      i = end == std::string::npos ? html.size() : i + end;
      continue;
    }
    if (name == "title") {
      inTitle = !closing;
      continue;
    }
    if (name == "a") {
      if (!closing) {
        const std::string original = html.substr(close - tag.size(), tag.size());  // letter case kept
        page.links.push_back({L"", Utf8ToWideEachByte(DecodeEntities(Attribute(original, "href"))),
                              Utf8ToWideEachByte(DecodeEntities(Attribute(original, "target")))});
        inLink = true;
        linkTextStart = text.size();
      } else if (inLink) {
        page.links.back().text = FoldWhiteSpace(Utf8ToWideEachByte(DecodeEntities(text.substr(linkTextStart))));
        inLink = false;
      }
      continue;
    }
    if (IsBlockTag(name)) text += "\n";
  }
  page.title = FoldWhiteSpace(Utf8ToWideEachByte(DecodeEntities(title)));
  page.text = FoldWhiteSpace(Utf8ToWideEachByte(DecodeEntities(text)));
  return page;
}

std::wstring ClipboardHtmlFragment(const std::string& entry) {
  auto offset = [&](const char* key) -> long {
    const size_t at = entry.find(key);
    if (at == std::string::npos) return -1;
    return std::strtol(entry.c_str() + at + std::string(key).size(), nullptr, 10);
  };
  const long start = offset("StartFragment:");
  const long end = offset("EndFragment:");
  if (start < 0 || end < start || static_cast<size_t>(start) > entry.size()) return std::wstring();
  return Utf8ToWideEachByte(entry.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

}  // namespace corvane
