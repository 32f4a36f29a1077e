// paste_replay: shows what the client's paste conversion makes of a clipboard sample. Given the
// raw bytes of an "HTML Format" entry (and optionally a BMP file standing for the clipboard
// bitmap) it writes the entry the conversion would put on the clipboard, resolving file:///
// picture sources as the client does. The Windows build and the Linux tree can also convert the
// live clipboard.
#include <cstdio>
#include <exception>
#include <string>

#include "client/paste/clipboard_html.h"
#include "client/paste/local_file.h"
#include "client/paste/picture_signature.h"
#include "client/paste/recorded_clipboard.h"
#include "tools/paste_replay/replay_platform.h"

namespace corvane {
namespace {

constexpr char kUsage[] =
    "usage: paste_replay ENTRY_FILE [--bitmap BMP_FILE] [--output FILE]\n"
    "       paste_replay --live [--output FILE]    (Windows build, Linux tree: converts the clipboard itself)\n";

// Exit codes: 0 written; 1 bad arguments or unreadable input; 2 nothing would be written.
constexpr int kBadInput = 1;
constexpr int kNothingWritten = 2;

struct Options {
  std::string entryPath;
  std::string bitmapPath;
  std::string outputPath;
  bool live = false;
};

bool ParseArguments(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--bitmap" || arg == "--output") && i + 1 < argc) {
      (arg == "--bitmap" ? options.bitmapPath : options.outputPath) = argv[++i];
    } else if (arg == "--live") {
      options.live = true;
    } else if (!arg.empty() && arg[0] != '-' && options.entryPath.empty()) {
      options.entryPath = arg;
    } else {
      error = "unexpected argument \"" + arg + "\"";
      return false;
    }
  }
  if (options.live == !options.entryPath.empty()) {
    error = options.live ? "--live takes no entry file" : "no entry file given";
    return false;
  }
  if (options.live && !options.bitmapPath.empty()) {
    error = "--bitmap is for recorded samples; the live clipboard has its own bitmap";
    return false;
  }
  return true;
}

// The entry the conversion leaves on a clipboard holding the sample; false with a reason when
// it would write nothing.
bool ConvertSample(const Options& options, std::string& entry, std::string& error, int& code) {
  CRecordedClipboard clipboard;
  std::string bytes;
  if (!ReadWholeFile(options.entryPath, kNoFileSizeLimit, bytes)) {
    error = "cannot read the entry file \"" + options.entryPath + "\"";
    code = kBadInput;
    return false;
  }
  clipboard.SetHtml(bytes);
  if (!options.bitmapPath.empty()) {
    std::string head;
    uint64_t size = 0;
    if (!ReadFileHead(options.bitmapPath, kPictureSignatureBytes, head, size)) {
      error = "cannot read the bitmap file \"" + options.bitmapPath + "\"";
      code = kBadInput;
      return false;
    }
    if (head.compare(0, 2, "BM") != 0 || !HasPictureSignature(head)) {
      error = "\"" + options.bitmapPath + "\" is not a BMP file";
      code = kBadInput;
      return false;
    }
    clipboard.SetBitmapFile(options.bitmapPath);
  }
  RunPasteConversion(clipboard);
  if (clipboard.WriteCount() == 0) {
    error = "nothing would be written: the entry has no usable StartHTML/EndHTML/StartFragment/"
            "EndFragment offsets, and no bitmap was given";
    code = kNothingWritten;
    return false;
  }
  entry = *clipboard.Html();
  return true;
}

bool WriteOutput(const std::string& path, const std::string& entry, std::string& error) {
  std::FILE* out = path.empty() ? stdout : std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write \"" + path + "\"";
    return false;
  }
  bool ok = std::fwrite(entry.data(), 1, entry.size(), out) == entry.size();
  ok = (out == stdout ? std::fflush(out) : std::fclose(out)) == 0 && ok;
  if (!ok) error = "writing the output failed";
  return ok;
}

int Fail(const std::string& error, int code) {
  std::fprintf(stderr, "paste_replay: %s\n", error.c_str());
  return code;
}

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseArguments(argc, argv, options, error)) {
    std::fputs(kUsage, stderr);
    return Fail(error, kBadInput);
  }
  std::string entry;
  int code = kBadInput;
  const bool converted = options.live ? ConvertLiveClipboard(entry, error, code)
                                      : ConvertSample(options, entry, error, code);
  if (!converted) return Fail(error, code);
  UseBinaryStandardOutput();
  if (!WriteOutput(options.outputPath, entry, error)) return Fail(error, kBadInput);
  return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
  try {
    return corvane::Run(argc, argv);
  } catch (const std::exception& e) {
    return corvane::Fail(e.what(), corvane::kBadInput);
  }
}
