// CReceiveBuffer: allocation failures are answered with false instead of an exception, because
// they happen on a worker thread where nothing could catch them.
#include "http/receive_buffer.h"

#include "http/memory_advice.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace corvane {
namespace inner {

bool CReceiveBuffer::Append(const char* data, size_t size) {
  try {
    m_data.append(data, size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

void CReceiveBuffer::Reserve(size_t size) {
  try {
    m_data.reserve(size);
    if (m_data.empty()) AdviseLargeBuffer(&m_data[0], m_data.capacity());
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

std::string CReceiveBuffer::Take() {
  std::string out = std::move(m_data);
  m_data = std::string();
  return out;
}

}  // namespace inner
}  // namespace corvane
