// The Linux edition's update download: the package at g_updateInfo's url into
// $XDG_CACHE_HOME/corvane/updates/ under the URL's last path segment (sanitised), then its
// signature (".sig" appended to the path) beside it, each written to a temporary file beside its
// final name and renamed only when whole. Then the one verification (VerifyUpdatePackage against
// the program's own version): refused, both files are deleted and UpdateUnverified tells the
// main window, whose prompt shows LastPackageRefusal(); accepted, InstallerReady.
#pragma once

#include <string>

namespace corvane {

// $XDG_CACHE_HOME/corvane/updates (~/.cache by default).
std::string UpdatesFolder();

// Starts the download of g_updateInfo's url; nothing when it is empty. A download that fails
// (no answer, not status 200, cut short, not writable) shows nothing: the next check offers it
// again.
void StartPackageDownload();

// The downloaded package that verified, or empty. Verified again here: a file that no longer
// verifies is deleted with its signature, and the refusal is kept for LastPackageRefusal().
std::string ReadyPackagePath();

// Deletes the ready package and its signature (once it is installed).
void ForgetReadyPackage();

// The line saying why the last download or ready package was refused (UTF-8), empty when none.
const std::string& LastPackageRefusal();

}  // namespace corvane
