// inner::CReceiveBuffer: the body collected so far, guarded by its own critical section.
// Every member below must be called with the lock held.
#pragma once

#include <cstddef>
#include <string>

#include "http/auto_csec.h"
#include "http/body_prefaulter.h"

namespace corvane {
namespace inner {

class CReceiveBuffer : public FCAutoCSec {
 public:
  // False when memory ran out: the buffer is unchanged and the read must end.
  bool Append(const char* data, size_t size);
  // Room for a body of known length, so a large body is not copied while it grows.
  // A failed reservation is harmless: Append still grows the buffer.
  void Reserve(size_t size);
  // Moves the bytes out and leaves the buffer empty.
  std::string Take();
  size_t Size() const { return m_data.size(); }
  size_t Capacity() const { return m_data.capacity(); }
  const char* Data() const { return m_data.data(); }

 private:
  std::string m_data;
  // Declared after the storage it works on, so that it stops before the storage goes.
  CBodyPrefaulter m_prefaulter;
};

}  // namespace inner
}  // namespace corvane
