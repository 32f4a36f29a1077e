// The program's conversion for dropped files, set once at start.
#include "client/browser/webkit/webkit_drop_gtk.h"

namespace corvane {
namespace {

DroppedFilesConversion& Conversion() {
  static DroppedFilesConversion conversion;
  return conversion;
}

}  // namespace

void SetDroppedFilesConversion(DroppedFilesConversion conversion) { Conversion() = std::move(conversion); }

const DroppedFilesConversion& DroppedFilesConversionInUse() { return Conversion(); }

}  // namespace corvane
