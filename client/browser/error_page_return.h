// The way back from the local error page to the page the teacher wanted: the failed address and
// the service's home page carried in the error page's fragment (which IsErrorPageUrl ignores), the
// rule for which failures the page retries by itself, and the back-off between its attempts.
#pragma once

#include <string>

namespace corvane {

// `errorPage` + "#failed=" + the failed address + "&home=" + the home page in force, both
// percent-escaped (UTF-8). An address that is not http(s) is left out ("#home=..." alone).
std::wstring ErrorPageUrlFor(const std::wstring& errorPage, const std::wstring& failedUrl, const std::wstring& homeUrl);

// The http(s) address an error page's address carries after "failed=" in its fragment; "" when
// it carries none (or one of another scheme: the error page never leads to a script or a file).
std::wstring FailedUrlOf(const std::wstring& errorPageUrl);

// Whether the error page tries the failed load again by itself: a GET (or a load without a
// method, as a typed address) that is no form submission and failed on the network (refused,
// reset, unreachable, name not found, timed out, offline). A form is never sent again unasked.
bool RetriesByItself(const std::string& method, bool formSubmission, int errorCode);

// Seconds before the attempt numbered `attempt` (0 first): 2, 4, 8, ... at most 60.
int RetryDelaySeconds(int attempt);

}  // namespace corvane
