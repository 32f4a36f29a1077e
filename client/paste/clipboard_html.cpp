// The paste conversion of the clipboard's HTML entry, on top of any clipboard session.
#include "client/paste/clipboard_html.h"

#include "client/paste/base64.h"
#include "client/paste/bmp_layout.h"
#include "client/paste/html_entry.h"
#include "client/paste/local_image_sources.h"
#include "client/paste/local_picture.h"

namespace corvane {
namespace {

constexpr std::string_view kDataUriStart = "src=\"data:image/png;base64,";

}  // namespace

bool CClipboardHtml::ReadHtml() {
  if (!m_session.ReadHtml(m_strClipboardText)) return false;
  ParseHeader();
  if (!ExtractHtml()) return false;
  return ExtractFragment();
}

void CClipboardHtml::ParseHeader() {
  HtmlHeaderValues values = ParseHtmlHeader(m_strClipboardText);
  m_strStartHtml = std::move(values.startHtml);
  m_strEndHtml = std::move(values.endHtml);
  m_strStartFragment = std::move(values.startFragment);
  m_strEndFragment = std::move(values.endFragment);
}

bool CClipboardHtml::ExtractHtml() {
  return ReadOffsetPair(m_strStartHtml, m_strEndHtml, m_strClipboardText.size()).has_value();
}

bool CClipboardHtml::ExtractFragment() {
  const auto pair = ReadOffsetPair(m_strStartFragment, m_strEndFragment, m_strClipboardText.size());
  if (!pair) return false;
  m_strFragment.assign(m_strClipboardText, pair->begin, pair->end - pair->begin);
  return true;
}

void CClipboardHtml::BuildHeader() { m_strHeader = BuildHtmlHeader(m_strFragment.size()); }

bool CClipboardHtml::WriteHtml() {
  BuildHeader();
  return m_session.WriteHtml(HtmlEntryParts{m_strHeader, m_strFragment});
}

bool CClipboardHtml::ConvertBitmap() {
  std::string bytes, mediaType;
  if (m_session.ReadPicture(bytes, mediaType)) {
    if (bytes.empty()) return false;
    m_strFragment = BuildImageParagraph(Base64Encode(bytes.data(), bytes.size()), mediaType);
    return true;
  }
  std::string bmpPath;
  if (!m_session.SaveBitmap(bmpPath)) return false;
  const std::string base64 = EncodeFileBase64(bmpPath);
  if (base64.empty()) return false;
  m_strFragment = BuildImageParagraph(base64, m_session.BitmapMediaType());
  return true;
}

bool CClipboardHtml::ReplaceLocalImages() {
  if (m_strFragment.empty()) return false;
  const std::vector<LocalImageSource> sources = FindLocalImageSources(m_strFragment);
  if (sources.empty()) return true;

  // Measure first so the result is allocated once: the pictures can be tens of megabytes.
  std::vector<LocalFileName> paths;
  paths.reserve(sources.size());
  size_t total = m_strFragment.size();
  for (const LocalImageSource& s : sources) {
    paths.push_back(LocalPictureFileFromUrl(m_strFragment.substr(s.pathBegin, s.pathEnd - s.pathBegin)));
    total += kDataUriStart.size() + ProbeLocalPictureBase64Length(paths.back()) + 1;
    total -= s.end() - s.begin;
  }

  std::string result;
  result.reserve(total);
  std::string buffer;
  size_t copied = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    result.append(m_strFragment, copied, sources[i].begin - copied);
    result.append(kDataUriStart.data(), kDataUriStart.size());
    AppendLocalPictureBase64(result, paths[i], buffer);
    result.push_back('"');
    copied = sources[i].end();
  }
  result.append(m_strFragment, copied, std::string::npos);
  m_strFragment = std::move(result);
  return true;
}

void RunPasteConversion(CClipboardSession& session) {
  CClipboardHtml html(session);
  if (html.ReadHtml()) {
    html.ReplaceLocalImages();
    html.WriteHtml();
  }
  if (html.ConvertBitmap()) html.WriteHtml();
}

}  // namespace corvane
