// Decode with a loader (the format comes from the bytes), encode to memory: no temporary file.
#include "client/paste/picture_png_gtk.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace corvane {

std::string EncodeAsPng(const std::string& bytes) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  const bool written = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* picture = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  std::string png;
  gchar* buffer = nullptr;
  gsize size = 0;
  const std::string level = std::to_string(kPastePngCompression);
  if (picture && gdk_pixbuf_save_to_buffer(picture, &buffer, &size, "png", nullptr, "compression", level.c_str(), nullptr)) {
    png.assign(buffer, size);
  }
  g_free(buffer);
  g_object_unref(loader);
  return png;
}

}  // namespace corvane
