// Pasted HTML from another program may name any path: a FIFO or a device among the pictures
// must neither hold the conversion nor be inlined, while the real picture beside it still is.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "client/paste/base64.h"
#include "client/paste/clipboard_contents.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/local_image_sources.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

TEST(LocalFilePosix, AFifoOrADeviceNamedAsAPictureIsSkippedWithoutWaiting) {
  testing::ScratchFolder folder;
  const std::string png = testing::Bytes(testing::kPixelPng, sizeof(testing::kPixelPng));
  const std::string picture = folder.Write("a.png", png);
  const std::string fifo = folder.File("fifo.png");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  ClipboardContents contents;
  contents.html = "<img src=\"file://" + fifo + "\"><img src=\"file:///dev/zero\"><img src=\"file://" + picture + "\">";
  CContentsClipboardSession session(contents);
  auto conversion = std::async(std::launch::async, [&] { RunPasteConversion(session); });
  if (conversion.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // lets the stuck open() go on
    conversion.wait();
    if (writer >= 0) ::close(writer);
    FAIL() << "the conversion waited on the FIFO";
  }
  ASSERT_TRUE(session.Rewritten());
  const std::string& html = *session.Rewritten();
  EXPECT_TRUE(FindLocalImageSources(html).empty()) << html;
  EXPECT_EQ(html, "<img src=\"data:image/png;base64,\"><img src=\"data:image/png;base64,\"><img src=\"data:image/png;base64," +
                      Base64Encode(png.data(), png.size()) + "\">");
}

}  // namespace
}  // namespace corvane
