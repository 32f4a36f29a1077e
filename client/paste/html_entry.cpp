// Reading and writing the header of the "HTML Format" clipboard entry.
#include "client/paste/html_entry.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>

namespace corvane {
namespace {

constexpr std::array<std::string_view, 4> kKeys = {"StartHTML:", "EndHTML:", "StartFragment:",
                                                    "EndFragment:"};

bool IsStreamSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void AppendOffsetLine(std::string& out, std::string_view key, size_t value) {
  char digits[32];
  std::snprintf(digits, sizeof(digits), "%010llu", static_cast<unsigned long long>(value));
  out.append(key.data(), key.size()).append(digits).append("\r\n");
}

}  // namespace

HtmlHeaderValues ParseHtmlHeader(std::string_view text) {
  std::array<std::string_view, kHeaderLinesSearched> lines;
  size_t lineCount = 0;
  size_t lineStart = 0;
  for (size_t at = 0; lineCount < lines.size(); ++at) {
    at = text.find("\r\n", at);
    if (at == std::string_view::npos) break;
    lines[lineCount++] = text.substr(lineStart, at + 2 - lineStart);
    lineStart = at + 2;
  }

  std::array<std::string, 4> values;
  for (size_t k = 0; k < kKeys.size(); ++k) {
    for (size_t i = 0; i < lineCount; ++i) {
      const std::string_view line = lines[i];
      if (line.find(kKeys[k]) == std::string_view::npos) continue;
      // Keys stand at the start of their line: the value follows at the key's length.
      const std::string_view candidate = line.substr(kKeys[k].size(), line.size() - 2 - kKeys[k].size());
      if (!candidate.empty()) values[k].assign(candidate.data(), candidate.size());
    }
  }
  return {values[0], values[1], values[2], values[3]};
}

std::optional<uint32_t> ReadHtmlOffset(std::string_view value) {
  size_t at = 0;
  while (at < value.size() && IsStreamSpace(value[at])) ++at;
  bool negative = false;
  if (at < value.size() && (value[at] == '+' || value[at] == '-')) negative = value[at++] == '-';
  int64_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = number * 10 + (value[at] - '0');
    if (number > std::numeric_limits<int32_t>::max()) return std::nullopt;  // would wrap
  }
  if (negative && number != 0) return std::nullopt;
  return static_cast<uint32_t>(number);
}

std::optional<OffsetPair> ReadOffsetPair(const std::string& beginValue, const std::string& endValue,
                                         size_t textSize) {
  if (beginValue.empty() || endValue.empty()) return std::nullopt;
  const std::optional<uint32_t> begin = ReadHtmlOffset(beginValue);
  const std::optional<uint32_t> end = ReadHtmlOffset(endValue);
  if (!begin || !end || *end < *begin || *end > textSize) return std::nullopt;
  return OffsetPair{*begin, *end};
}

std::string BuildHtmlHeader(size_t fragmentLength) {
  const size_t startHtml = kBuiltHeaderLength;
  const size_t startFragment = startHtml + kDocumentPrefix.size();
  const size_t endFragment = startFragment + fragmentLength;
  const size_t endHtml = endFragment + kDocumentSuffix.size();
  std::string header;
  header.reserve(kBuiltHeaderLength);
  header.append("Version:1.0\r\n");
  AppendOffsetLine(header, kKeys[0], startHtml);
  AppendOffsetLine(header, kKeys[1], endHtml);
  AppendOffsetLine(header, kKeys[2], startFragment);
  AppendOffsetLine(header, kKeys[3], endFragment);
  return header;
}

size_t HtmlEntryParts::Size() const {
  return header.size() + kDocumentPrefix.size() + fragment.size() + kDocumentSuffix.size();
}

char* HtmlEntryParts::CopyTo(char* out) const {
  for (std::string_view part : {header, kDocumentPrefix, fragment, kDocumentSuffix}) {
    if (!part.empty()) std::memcpy(out, part.data(), part.size());
    out += part.size();
  }
  return out;
}

std::string HtmlEntryParts::ToString() const {
  std::string entry;
  entry.reserve(Size());  // no zero-filling of what the parts overwrite at once
  for (std::string_view part : {header, kDocumentPrefix, fragment, kDocumentSuffix}) {
    entry.append(part.data(), part.size());
  }
  return entry;
}

}  // namespace corvane
