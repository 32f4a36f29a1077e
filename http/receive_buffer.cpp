// CReceiveBuffer: allocation failures are answered with false instead of an exception, because
// they happen on a worker thread where nothing could catch them.
#include "http/receive_buffer.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace corvane {
namespace inner {

namespace {
// Below this a body fills quickly enough without help.
constexpr size_t kLargeBody = 4 * 1024 * 1024;
}  // namespace

bool CReceiveBuffer::Append(const char* data, size_t size) {
  // Growing past the reservation reallocates: the prefaulter must leave the old storage first.
  if (m_data.size() + size > m_data.capacity()) m_prefaulter.Stop();
  try {
    m_data.append(data, size);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  m_prefaulter.Written(m_data.size());
  return true;
}

void CReceiveBuffer::Reserve(size_t size) {
  m_prefaulter.Stop();
  try {
    m_data.reserve(size);
  } catch (const std::bad_alloc&) {
    return;
  } catch (const std::length_error&) {
    return;
  }
  if (m_data.empty() && m_data.capacity() >= kLargeBody) m_prefaulter.Start(&m_data[0], m_data.capacity());
}

std::string CReceiveBuffer::Take() {
  m_prefaulter.Stop();
  std::string out = std::move(m_data);
  m_data = std::string();
  return out;
}

}  // namespace inner
}  // namespace corvane
