// Files dropped on an editable field of the page: the page script (see webkit_browser_gtk.cpp)
// keeps such a drop from the page and WebKit, puts the caret at the drop point and tells the
// view; the view turns the files into HTML with the program's conversion on a worker thread and
// inserts it there as WebKit's InsertHTML, as typed-in HTML. Files it gives nothing for are
// refused: nothing changes.
#pragma once

#include <functional>
#include <string>

namespace corvane {

// The drop's "text/uri-list" as HTML to insert, "" for none; called on a worker thread.
using DroppedFilesConversion = std::function<std::string(const std::string& uriLines)>;

// The program's conversion for every view; without one, such drops are refused. UI thread.
void SetDroppedFilesConversion(DroppedFilesConversion conversion);
const DroppedFilesConversion& DroppedFilesConversionInUse();

}  // namespace corvane
