// CorvaneCefApp: its own browser-process handler, one count for both interfaces, defaults
// everywhere else.
#include <gtest/gtest.h>

#include "client/browser/corvane_cef_app.h"

namespace corvane {
namespace {

TEST(CorvaneCefApp, BrowserProcessHandlerTwiceRaisesTheCountByTwo) {
  CorvaneCefApp* app = new CorvaneCefApp();
  EXPECT_EQ(app->RefCountForTesting(), 0);
  app->AddRef();
  {
    CefRefPtr<CefBrowserProcessHandler> first = app->GetBrowserProcessHandler();
    CefRefPtr<CefBrowserProcessHandler> second = app->GetBrowserProcessHandler();
    EXPECT_EQ(app->RefCountForTesting(), 3);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first.get(), static_cast<CefBrowserProcessHandler*>(app));
    EXPECT_FALSE(app->HasOneRef());
  }
  EXPECT_TRUE(app->HasOneRef());
  EXPECT_TRUE(app->Release());
}

TEST(CorvaneCefApp, AnswersTheDefaultsAndKeepsNoArgument) {
  CefRefPtr<CorvaneCefApp> app = new CorvaneCefApp();
  CefRefPtr<CefCommandLine> line = cef_command_line_create();
  line->InitFromString(L"p.exe --type=renderer");
  const CefString before = line->GetCommandLineString();
  app->OnBeforeCommandLineProcessing(L"renderer", line);
  EXPECT_EQ(line->GetCommandLineString(), before);
  EXPECT_TRUE(line->HasOneRef()) << "the command line is not kept";
  EXPECT_FALSE(app->GetResourceBundleHandler());
  EXPECT_FALSE(app->GetRenderProcessHandler());
  EXPECT_FALSE(app->GetPrintHandler());
  app->OnBeforeChildProcessLaunch(line);
  app->OnContextInitialized();
  EXPECT_TRUE(line->HasOneRef());
  EXPECT_TRUE(app->HasOneRef());
}

}  // namespace
}  // namespace corvane
