// CBodyPrefaulter: gets a large body's reserved storage ready while the body arrives, so that
// the reader does not stop at every fresh page. Where the platform can (Linux), the storage is
// backed by huge pages and a helper thread faults it in a bounded distance ahead of the writer:
// a body that never arrives commits at most that distance beyond what did. Elsewhere it does
// nothing and pages are faulted in as they are written.
#pragma once

#include <cstddef>
#include <memory>

namespace corvane {
namespace inner {

class CBodyPrefaulter {
 public:
  CBodyPrefaulter();
  ~CBodyPrefaulter();  // stops
  CBodyPrefaulter(const CBodyPrefaulter&) = delete;
  CBodyPrefaulter& operator=(const CBodyPrefaulter&) = delete;

  // Begins on [data, data + capacity); stops any earlier storage first.
  void Start(char* data, size_t capacity);
  // The writer has filled the storage up to `end` bytes. Cheap: called for every append.
  void Written(size_t end);
  // Waits for the helper to leave the storage. Call before the storage is moved, freed or
  // reallocated.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace inner
}  // namespace corvane
